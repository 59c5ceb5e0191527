package edu.qet.brightloom.plexa.demo;

import edu.qet.brightloom.plexa.Plexa1;
import edu.qet.brightloom.plexa.Plexa2;
import java.awt.GraphicsEnvironment;
import java.awt.image.BufferedImage;
import java.io.File;
import java.io.IOException;
import java.lang.management.ManagementFactory;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.Collections;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import javax.imageio.ImageIO;

/**
 * Streams both sensor generations and shows what arrives. With a display it opens a window;
 * without one (or with --headless) it runs for a while, writes a PNG of each stream and a summary.
 *
 * <pre>
 * Demo [--headless] [--seconds N] [--output DIR] [--sensor SOURCE] [--sensors N] [--version]
 * </pre>
 *
 * SOURCE chooses where the first-generation frames come from, as the environment variable
 * PLEXA_SENSOR1 does: auto (the default), virtual, freenect or replay:PATH (a depth recording, such
 * as the demo's own gen1-depth.rec, or a fakenect dump folder), or a comma-separated list of them.
 * --sensors N streams the first N first-generation sensors side by side (default 1); with neither
 * SOURCE nor PLEXA_SENSOR1 given, those are N virtual sensors.
 */
public final class Demo {
    private Demo() {
    }

    /** The first generation's table has 10 sensors. */
    private static final int MAX_SENSORS = 10;
    private static final int SUMMARY_NAME_WIDTH = 42;

    private static final String USAGE =
            "usage: Demo [--headless] [--seconds N] [--output DIR] [--sensor SOURCE] [--sensors N] [--version]\n"
            + "  SOURCE: auto, virtual, freenect or replay:PATH, or a comma-separated list of them\n"
            + "  N: first-generation sensors to stream, 1 to " + MAX_SENSORS;

    public static void main(String[] args) throws Exception {
        boolean headless = GraphicsEnvironment.isHeadless();
        double seconds = 5.0;
        File output = new File("demo-output");
        String sensor = null;
        int sensors = 1;
        try {
            for (int i = 0; i < args.length; i++) {
                switch (args[i]) {
                    case "--version":
                        // The jar's version, before anything native loads (so no banner).
                        System.out.println("plexa-demo " + Demo.class.getPackage().getImplementationVersion());
                        return;
                    case "--headless": headless = true; break;
                    case "--seconds": seconds = Double.parseDouble(args[++i]); break;
                    case "--output": output = new File(args[++i]); break;
                    case "--sensor": sensor = args[++i]; break;
                    case "--sensors": sensors = Integer.parseInt(args[++i]); break;
                    default: throw new IllegalArgumentException(args[i]);
                }
            }
            if (sensor != null && !isSourceList(sensor)) {
                throw new IllegalArgumentException(sensor);
            }
            if (sensors < 1 || sensors > MAX_SENSORS) {
                throw new IllegalArgumentException(String.valueOf(sensors));
            }
        } catch (IllegalArgumentException | ArrayIndexOutOfBoundsException e) {
            System.err.println(USAGE);
            System.exit(2);
        }
        if (sensor == null && sensors > 1 && System.getenv("PLEXA_SENSOR1") == null) {
            sensor = String.join(",", Collections.nCopies(sensors, "virtual"));
        }
        // The library reads PLEXA_SENSOR1 once, from its process's environment,
        // which Java cannot change: the demo runs again in a process that has it.
        if (sensor != null && !sensor.equals(System.getenv("PLEXA_SENSOR1"))) {
            System.exit(runWithSource(sensor, args));
        }
        int sensorCount = Plexa1._getSensorCount();
        System.out.println("Sensors: first generation " + sensorCount + ", second generation "
                + Plexa2._getSensorCount());
        if (sensors > 1 && sensorCount < sensors) {
            System.out.println("Asked for " + sensors + " first-generation sensors, PLEXA_SENSOR1 gives "
                    + sensorCount + ": streaming " + Math.max(1, sensorCount));
            sensors = Math.max(1, sensorCount);
        }

        List<FirstGeneration> firsts = new ArrayList<>();
        for (int index = 0; index < sensors; index++) {
            FirstGeneration first = new FirstGeneration(index, sensors > 1);
            Plexa1._createNUI(index);
            int firstStatus = startFirstGeneration(first);
            if (!started(firstStatus)) {
                System.out.println();
                System.err.println("The first-generation sensor" + (sensors > 1 ? " " + index : "")
                        + " did not start: status " + firstStatus);
                stopFirstGeneration(firsts);
                System.exit(1);
            }
            Plexa1._computeUV(true, index);
            Plexa1._computeXYZ(true, index);
            firsts.add(first);
        }
        SecondGeneration second = new SecondGeneration();
        Plexa2._createNUI(0);
        int secondStatus = Plexa2._startNUI(SecondGeneration.FLAGS, second, 0);
        if (secondStatus < 0) {
            System.out.println();
            System.err.println("The second-generation sensor did not start: status " + secondStatus);
            stopFirstGeneration(firsts);
            System.exit(1);
        }

        if (headless) {
            runHeadless(firsts, second, seconds, output);
        } else {
            File windowOutput = output;
            DemoWindow.show(firsts, second, () -> stop(firsts, second, windowOutput));
        }
    }

    /** Status 0, or 1 (the sensor is still initialising), is a started session. */
    private static boolean started(int status) {
        return status == 0 || status == 1;
    }

    private static boolean isSourceList(String sources) {
        for (String source : sources.split(",", -1)) {
            if (!isSource(source)) {
                return false;
            }
        }
        return true;
    }

    private static boolean isSource(String source) {
        return source.equals("auto") || source.equals("virtual") || source.equals("freenect")
                || (source.startsWith("replay:") && source.length() > "replay:".length());
    }

    /** Runs this demo again with PLEXA_SENSOR1 set, in a new VM with this one's options; its exit code. */
    private static int runWithSource(String source, String[] args) throws IOException, InterruptedException {
        List<String> command = new ArrayList<>();
        command.add(ProcessHandle.current().info().command().orElse("java"));
        command.addAll(ManagementFactory.getRuntimeMXBean().getInputArguments());
        command.add("-cp");
        command.add(System.getProperty("java.class.path"));
        command.add(Demo.class.getName());
        for (String arg : args) {
            command.add(arg);
        }
        ProcessBuilder builder = new ProcessBuilder(command).inheritIO();
        builder.environment().put("PLEXA_SENSOR1", source);
        return builder.start().waitFor();
    }

    /**
     * Starts depth, color and skeletons; a sensor that offers less (a real one has no skeleton
     * tracking, a replay only depth) starts with what it has.
     */
    private static int startFirstGeneration(FirstGeneration first) {
        boolean[] skeletons = {true, false, false};
        int[] colorResolutions = {Plexa1.RESOLUTION_640x480, Plexa1.RESOLUTION_640x480, Plexa1.RESOLUTION_NONE};
        String[] lacking = {null, "no skeleton tracking", "depth only"};
        int status = 0;
        for (int attempt = 0; attempt < lacking.length; attempt++) {
            if (attempt > 0) {
                System.out.println();
                Plexa1._stopNUI(first.sensor);
            }
            status = Plexa1._startNUI(skeletons[attempt], Plexa1.RESOLUTION_640x480, colorResolutions[attempt], false,
                first, first.sensor);
            if (started(status)) {
                if (lacking[attempt] != null) {
                    System.out.println(capitalised(first.name) + ": " + lacking[attempt] + " on this sensor");
                }
                return status;
            }
        }
        return status;
    }

    private static String capitalised(String text) {
        return text.isEmpty() ? text : Character.toUpperCase(text.charAt(0)) + text.substring(1);
    }

    private static void stopFirstGeneration(List<FirstGeneration> firsts) {
        for (FirstGeneration first : firsts) {
            Plexa1._stopNUI(first.sensor);
        }
    }

    private static void runHeadless(List<FirstGeneration> firsts, SecondGeneration second, double seconds,
            File output) throws IOException, InterruptedException {
        output.mkdirs();
        // One second of each sensor's depth (half the run at most), counted
        // from its first depth frame: a sensor may take a while to deliver its first one.
        List<DepthRecording> recordings = new ArrayList<>();
        for (FirstGeneration first : firsts) {
            recordings.add(new DepthRecording(first, new File(output, first.fileName("depth") + ".rec")));
        }
        long start = System.nanoTime();
        long end = start + (long) (seconds * 1e9);
        long recordingLength = (long) (Math.min(1.0, seconds / 2) * 1e9);
        int width = 30;
        // The processor time the whole process takes while the sessions stream,
        // from the first second on (when the VM has compiled the callbacks).
        long cpuFrom = start + (long) (Math.min(1.0, seconds / 4) * 1e9);
        long cpuStartWall = -1;
        long cpuStart = 0;
        while (System.nanoTime() < end) {
            Thread.sleep(100);
            long now = System.nanoTime();
            if (cpuStartWall < 0 && now >= cpuFrom) {
                cpuStartWall = now;
                cpuStart = processCpuNanoseconds();
            }
            StringBuilder depthRates = new StringBuilder();
            for (DepthRecording recording : recordings) {
                recording.advance(now, Math.min(now + recordingLength, end));
            }
            for (FirstGeneration first : firsts) {
                depthRates.append(String.format(" %5.1f", first.depthStats.rate()));
            }
            double done = Math.min(1.0, (now - start) / (double) (end - start));
            int filled = (int) (done * width);
            System.out.printf("\r[%s%s] %4.1f/%.1f s  gen1 depth%s fps  gen2 frames %5.1f fps", "#".repeat(filled),
                    ".".repeat(width - filled), (now - start) / 1e9, seconds, depthRates, second.frameStats.rate());
            System.out.flush();
        }
        double coresUsed = cpuStartWall < 0 ? 0.0
                : (processCpuNanoseconds() - cpuStart) / (double) (System.nanoTime() - cpuStartWall);
        for (DepthRecording recording : recordings) {
            recording.close();
        }
        System.out.println();
        stop(firsts, second, output);
        System.out.printf("  CPU while streaming: %.2f cores%n", coresUsed);
        for (DepthRecording recording : recordings) {
            System.out.println(recording.summary());
        }
    }

    /** One sensor's depth recording: opened at once, closed a while after its first depth frame. */
    private static final class DepthRecording {
        private final FirstGeneration first;
        private final File file;
        private boolean open;
        private long end = Long.MAX_VALUE;

        DepthRecording(FirstGeneration first, File file) {
            this.first = first;
            this.file = file;
            open = Plexa1._saveDepthFrames(file.getPath(), first.sensor);
        }

        /** Called at {@code now}; closes the file once its time is up, which is {@code endIfStarted} after the first frame. */
        void advance(long now, long endIfStarted) {
            if (end == Long.MAX_VALUE && Plexa1._getDepthFrameCounter(first.sensor) > 0) {
                end = endIfStarted;
            }
            if (open && now >= end) {
                close();
            }
        }

        void close() {
            if (open) {
                Plexa1._closeDepthFile(first.sensor);
                open = false;
            }
        }

        String summary() {
            long bytes = file.length();
            long records = (bytes - 4) / (12 + 2L * FirstGeneration.WIDTH * FirstGeneration.HEIGHT);
            return String.format("Depth recording: %s, %d bytes (%d frames of 640 x 480)", file.getPath(), bytes,
                    Math.max(0, records));
        }
    }

    /** The processor time of the whole process so far, or 0 where the VM does not tell it. */
    private static long processCpuNanoseconds() {
        java.lang.management.OperatingSystemMXBean os = java.lang.management.ManagementFactory.getOperatingSystemMXBean();
        if (os instanceof com.sun.management.OperatingSystemMXBean) {
            return Math.max(0, ((com.sun.management.OperatingSystemMXBean) os).getProcessCpuTime());
        }
        return 0;
    }

    private static void stop(List<FirstGeneration> firsts, SecondGeneration second, File output) {
        stopFirstGeneration(firsts);
        Plexa2._stopNUI(0);
        Map<String, BufferedImage> pictures = new LinkedHashMap<>();
        List<StreamStats> stats = new ArrayList<>();
        boolean firstMappingsSeen = true;
        for (FirstGeneration first : firsts) {
            pictures.putAll(first.pictures());
            stats.addAll(Arrays.asList(first.allStats()));
            firstMappingsSeen &= first.mappingsSeen();
        }
        pictures.putAll(second.pictures());
        stats.addAll(Arrays.asList(second.allStats()));
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
        int nameWidth = SUMMARY_NAME_WIDTH;
        for (StreamStats stream : stats) {
            nameWidth = Math.max(nameWidth, stream.name().length());
        }
        System.out.println("Summary:");
        for (StreamStats stream : stats) {
            System.out.println("  " + stream.summary(nameWidth));
        }
        System.out.println("  UV and XYZ delivered: first generation " + (firstMappingsSeen ? "yes" : "no")
                + ", second generation " + (second.mappingsSeen() ? "yes" : "no"));
    }
}
