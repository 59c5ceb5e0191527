package edu.qet.brightloom.plexa.demo;

import edu.qet.brightloom.plexa.Plexa1;
import edu.qet.brightloom.plexa.Plexa2;
import java.awt.GraphicsEnvironment;
import java.awt.image.BufferedImage;
import java.io.File;
import java.io.IOException;
import java.util.LinkedHashMap;
import java.util.Map;
import javax.imageio.ImageIO;

/**
 * Streams both sensor generations and shows what arrives. With a display it opens a window;
 * without one (or with --headless) it runs for a while, writes a PNG of each stream and a summary.
 *
 * <pre>
 * Demo [--headless] [--seconds N] [--output DIR]
 * </pre>
 */
public final class Demo {
    private Demo() {
    }

    public static void main(String[] args) throws Exception {
        boolean headless = GraphicsEnvironment.isHeadless();
        double seconds = 5.0;
        File output = new File("demo-output");
        for (int i = 0; i < args.length; i++) {
            switch (args[i]) {
                case "--version":
                    // The jar's version, before anything native loads (so no banner).
                    System.out.println("plexa-demo " + Demo.class.getPackage().getImplementationVersion());
                    return;
                case "--headless": headless = true; break;
                case "--seconds": seconds = Double.parseDouble(args[++i]); break;
                case "--output": output = new File(args[++i]); break;
                default:
                    System.err.println("usage: Demo [--headless] [--seconds N] [--output DIR]");
                    System.exit(2);
            }
        }
        System.out.println("Sensors: first generation " + Plexa1._getSensorCount() + ", second generation "
                + Plexa2._getSensorCount());

        FirstGeneration first = new FirstGeneration();
        SecondGeneration second = new SecondGeneration();
        Plexa1._createNUI(0);
        int firstStatus = Plexa1._startNUI(true, Plexa1.RESOLUTION_640x480, Plexa1.RESOLUTION_640x480, false, first, 0);
        if (firstStatus < 0) {
            System.out.println();
            System.err.println("The first-generation sensor did not start: status " + firstStatus);
            System.exit(1);
        }
        Plexa1._computeUV(true, 0);
        Plexa1._computeXYZ(true, 0);
        Plexa2._createNUI(0);
        int secondStatus = Plexa2._startNUI(SecondGeneration.FLAGS, second, 0);
        if (secondStatus < 0) {
            System.out.println();
            System.err.println("The second-generation sensor did not start: status " + secondStatus);
            Plexa1._stopNUI(0);
            System.exit(1);
        }

        if (headless) {
            runHeadless(first, second, seconds, output);
        } else {
            File windowOutput = output;
            DemoWindow.show(first, second, () -> stop(first, second, windowOutput));
        }
    }

    private static void runHeadless(FirstGeneration first, SecondGeneration second, double seconds, File output)
            throws IOException, InterruptedException {
        output.mkdirs();
        File recording = new File(output, "gen1-depth.rec");
        boolean recordingOpen = Plexa1._saveDepthFrames(recording.getPath(), 0);
        long start = System.nanoTime();
        long end = start + (long) (seconds * 1e9);
        // One second of depth (half the run at most), counted from the first
        // depth frame: a sensor may take a while to deliver its first one.
        long recordingLength = (long) (Math.min(1.0, seconds / 2) * 1e9);
        long recordingEnd = Long.MAX_VALUE;
        int width = 30;
        while (System.nanoTime() < end) {
            Thread.sleep(100);
            long now = System.nanoTime();
            if (recordingEnd == Long.MAX_VALUE && Plexa1._getDepthFrameCounter(0) > 0) {
                recordingEnd = Math.min(now + recordingLength, end);
            }
            if (recordingOpen && now >= recordingEnd) {
                Plexa1._closeDepthFile(0);
                recordingOpen = false;
            }
            double done = Math.min(1.0, (now - start) / (double) (end - start));
            int filled = (int) (done * width);
            System.out.printf("\r[%s%s] %4.1f/%.1f s  gen1 depth %5.1f fps  gen2 frames %5.1f fps", "#".repeat(filled),
                    ".".repeat(width - filled), (now - start) / 1e9, seconds, first.depthStats.rate(),
                    second.frameStats.rate());
            System.out.flush();
        }
        if (recordingOpen) {
            Plexa1._closeDepthFile(0);
        }
        System.out.println();
        stop(first, second, output);
        long recordingBytes = recording.length();
        long records = (recordingBytes - 4) / (12 + 2L * FirstGeneration.WIDTH * FirstGeneration.HEIGHT);
        System.out.printf("Depth recording: %s, %d bytes (%d frames of 640 x 480)%n", recording.getPath(),
                recordingBytes, Math.max(0, records));
    }

    private static void stop(FirstGeneration first, SecondGeneration second, File output) {
        Plexa1._stopNUI(0);
        Plexa2._stopNUI(0);
        Map<String, BufferedImage> pictures = new LinkedHashMap<>(first.pictures());
        pictures.putAll(second.pictures());
        output.mkdirs();
        for (Map.Entry<String, BufferedImage> picture : pictures.entrySet()) {
            File file = new File(output, picture.getKey() + ".png");
            try {
                ImageIO.write(picture.getValue(), "png", file);
                System.out.println("Wrote " + file.getPath());
            } catch (IOException e) {
                System.err.println("Cannot write " + file.getPath() + ": " + e.getMessage());
            }
        }
        System.out.println("Summary:");
        for (StreamStats stats : new StreamStats[] {first.depthStats, first.colorStats, first.skeletonStats}) {
            System.out.println("  " + stats.summary());
        }
        for (StreamStats stats : second.allStats()) {
            System.out.println("  " + stats.summary());
        }
        System.out.println("  UV and XYZ delivered: first generation " + (first.mappingsSeen() ? "yes" : "no")
                + ", second generation " + (second.mappingsSeen() ? "yes" : "no"));
    }
}
