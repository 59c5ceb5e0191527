import java.awt.image.BufferedImage;
import java.io.File;
import java.nio.file.Files;
import java.util.ArrayList;
import java.util.List;
import javax.imageio.ImageIO;

/**
 * Checks what the headless demo wrote: every stream's picture exists, people stand out from the
 * room in depth, the drawn skeletons lie on the people, and every stream ran at about 30 frames
 * per second; with SENSORS first-generation sensors, each has its pictures, its summary lines and its
 * depth recording. Exits non-zero with the reasons when something is off.
 * Usage: DemoCheck OUTPUT_DIR SUMMARY_FILE [check-rates|skip-rates [SENSORS]]
 */
public final class DemoCheck {
    private static final int[] BODY_COLOURS = {0xE6194B, 0x3CB44B, 0x4363D8, 0xF58231, 0x911EB4, 0x46F0F0};
    private static final List<String> failures = new ArrayList<>();

    public static void main(String[] args) throws Exception {
        File dir = new File(args[0]);
        String summary = Files.readString(new File(args[1]).toPath());
        int sensors = args.length < 4 ? 1 : Integer.parseInt(args[3]);
        List<String> pictures = new ArrayList<>(List.of("gen2-color", "gen2-depth", "gen2-infrared",
                "gen2-long-exposure-infrared", "gen2-body-index"));
        for (String prefix : firstGenerationPrefixes(sensors)) {
            pictures.add(prefix + "depth");
            pictures.add(prefix + "color");
        }
        for (String name : pictures) {
            check(new File(dir, name + ".png").isFile(), "missing picture " + name);
        }
        BufferedImage bodyIndex = ImageIO.read(new File(dir, "gen2-body-index.png"));
        BufferedImage depth = ImageIO.read(new File(dir, "gen2-depth.png"));
        boolean[] person = personMask(bodyIndex);
        checkPersonStandsOut(depth, person);
        checkOverlayOnPerson(depth, person);
        if (args.length < 3 || !args[2].equals("skip-rates")) {
            checkRates(summary, 7 + 3 * sensors);
        }
        if (sensors > 1) {
            check(summary.contains("Sensors: first generation " + sensors + ","),
                    "the demo did not see " + sensors + " first-generation sensors");
            for (int sensor = 0; sensor < sensors; sensor++) {
                for (String stream : new String[] {"depth (with UV, XYZ)", "color", "skeleton"}) {
                    String name = "first generation sensor " + sensor + " " + stream;
                    check(summary.matches("(?s).*\\n  " + java.util.regex.Pattern.quote(name) + " +[1-9][0-9]* frames.*"),
                            "no summary line with frames for " + name);
                }
            }
        }
        check(summary.contains("UV and XYZ delivered: first generation yes, second generation yes"),
                "mappings not delivered");
        check(summary.split("\\n[^\\n]*Depth recording: [^\\n]*, [1-9][0-9]* bytes \\([1-9][0-9]* frames", -1).length
                == sensors + 1, "not every sensor's depth recorded");
        if (!failures.isEmpty()) {
            failures.forEach(f -> System.out.println("FAILED: " + f));
            System.exit(1);
        }
        System.out.println("demo output checked");
    }

    /** What the demo's first-generation pictures are named after: its one sensor, or each of several. */
    private static List<String> firstGenerationPrefixes(int sensors) {
        List<String> prefixes = new ArrayList<>();
        for (int sensor = 0; sensor < sensors; sensor++) {
            prefixes.add(sensors == 1 ? "gen1-" : "gen1-sensor" + sensor + "-");
        }
        return prefixes;
    }

    private static void check(boolean condition, String failure) {
        if (!condition) {
            failures.add(failure);
        }
    }

    private static int bodySlot(int rgb) {
        for (int slot = 0; slot < BODY_COLOURS.length; slot++) {
            if ((rgb & 0xFFFFFF) == BODY_COLOURS[slot]) {
                return slot;
            }
        }
        return -1;
    }

    private static boolean[] personMask(BufferedImage bodyIndex) {
        int w = bodyIndex.getWidth();
        int h = bodyIndex.getHeight();
        boolean[] mask = new boolean[w * h];
        int count = 0;
        for (int y = 0; y < h; y++) {
            for (int x = 0; x < w; x++) {
                if (bodySlot(bodyIndex.getRGB(x, y)) >= 0) {
                    mask[y * w + x] = true;
                    count++;
                }
            }
        }
        check(count > w * h / 200, "no person in the body-index picture (" + count + " pixels)");
        return mask;
    }

    /** Depth false colour: the mean hue under a person differs from the room's. */
    private static void checkPersonStandsOut(BufferedImage depth, boolean[] person) {
        double[] sum = new double[2];
        int[] n = new int[2];
        for (int y = 0; y < depth.getHeight(); y++) {
            for (int x = 0; x < depth.getWidth(); x++) {
                int rgb = depth.getRGB(x, y);
                if ((rgb & 0xFFFFFF) == 0 || bodySlot(rgb) >= 0) {
                    continue;
                }
                float[] hsb = java.awt.Color.RGBtoHSB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF, null);
                int k = person[y * depth.getWidth() + x] ? 0 : 1;
                sum[k] += hsb[0];
                n[k]++;
            }
        }
        check(n[0] > 0 && n[1] > 0, "depth picture has no person or no room");
        if (n[0] > 0 && n[1] > 0) {
            double personHue = sum[0] / n[0];
            double roomHue = sum[1] / n[1];
            check(roomHue - personHue > 0.05, String.format("person (hue %.3f) not nearer than the room (hue %.3f)",
                    personHue, roomHue));
        }
    }

    /** Skeleton pixels (drawn in the body colours) lie on or right beside a person's silhouette. */
    private static void checkOverlayOnPerson(BufferedImage depth, boolean[] person) {
        int w = depth.getWidth();
        int h = depth.getHeight();
        int on = 0;
        int all = 0;
        for (int y = 0; y < h; y++) {
            for (int x = 0; x < w; x++) {
                if (bodySlot(depth.getRGB(x, y)) < 0) {
                    continue;
                }
                all++;
                boolean near = false;
                for (int dy = -4; dy <= 4 && !near; dy++) {
                    for (int dx = -4; dx <= 4 && !near; dx++) {
                        int xx = x + dx;
                        int yy = y + dy;
                        near = xx >= 0 && yy >= 0 && xx < w && yy < h && person[yy * w + xx];
                    }
                }
                if (near) {
                    on++;
                }
            }
        }
        check(all > 20, "no skeleton drawn over the depth picture");
        check(all == 0 || on >= 0.8 * all, "skeleton off the person: " + on + " of " + all + " pixels on it");
    }

    private static void checkRates(String summary, int expectedStreams) {
        int streams = 0;
        int start = summary.indexOf("Summary:");
        check(start >= 0, "no summary printed");
        for (String line : summary.substring(Math.max(0, start)).split("\n")) {
            int at = line.indexOf(" fps");
            if (at < 0 || !line.contains(" frames ")) {
                continue;
            }
            String[] words = line.substring(0, at).trim().split("\\s+");
            double rate = Double.parseDouble(words[words.length - 1]);
            streams++;
            // Every stream keeps streaming, and none runs faster than the
            // sensor's 30 per second. How close a loaded machine comes to 30
            // is a benchmark's question, not this check's.
            check(rate > 8 && rate < 38, "not streaming at up to 30 fps: " + line.trim());
        }
        // A stream with fewer than two frames has no rate: the real count may fall short by a little.
        check(streams >= expectedStreams - 2, "summary lists " + streams + " streams with a rate");
    }
}
