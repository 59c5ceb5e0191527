package edu.qet.brightloom.plexa.demo;

import edu.qet.brightloom.plexa.Plexa1;
import edu.qet.brightloom.plexa.Plexa2;
import java.awt.GraphicsEnvironment;
import java.awt.image.BufferedImage;
import java.io.File;
import java.io.IOException;
import java.lang.management.ManagementFactory;
import java.util.ArrayList;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import javax.imageio.ImageIO;

/**
 * Streams both sensor generations and shows what arrives. With a display it opens a window;
 * without one (or with --headless) it runs for a while, writes a PNG of each stream and a summary.
 *
 * <pre>
 * Demo [--headless] [--seconds N] [--output DIR] [--sensor SOURCE] [--version]
 * </pre>
 *
 * SOURCE chooses where the first-generation frames come from, as the environment variable
 * PLEXA_SENSOR1 does: auto (the default), virtual, freenect or replay:PATH (a depth recording, such
 * as the demo's own gen1-depth.rec, or a fakenect dump folder).
 */
public final class Demo {
    private Demo() {
    }

    private static final String USAGE =
            "usage: Demo [--headless] [--seconds N] [--output DIR] [--sensor SOURCE] [--version]\n"
            + "  SOURCE: auto, virtual, freenect or replay:PATH";

    public static void main(String[] args) throws Exception {
        boolean headless = GraphicsEnvironment.isHeadless();
        double seconds = 5.0;
        File output = new File("demo-output");
        String sensor = null;
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
                    default: throw new IllegalArgumentException(args[i]);
                }
            }
            if (sensor != null && !isSource(sensor)) {
                throw new IllegalArgumentException(sensor);
            }
        } catch (IllegalArgumentException | ArrayIndexOutOfBoundsException e) {
            System.err.println(USAGE);
            System.exit(2);
        }
        // The library reads PLEXA_SENSOR1 once, from its process's environment,
        // which Java cannot change: the demo runs again in a process that has it.
        if (sensor != null && !sensor.equals(System.getenv("PLEXA_SENSOR1"))) {
            System.exit(runWithSource(sensor, args));
        }
        System.out.println("Sensors: first generation " + Plexa1._getSensorCount() + ", second generation "
                + Plexa2._getSensorCount());

        FirstGeneration first = new FirstGeneration();
        SecondGeneration second = new SecondGeneration();
        Plexa1._createNUI(0);
        int firstStatus = startFirstGeneration(first);
        if (!started(firstStatus)) {
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

    /** Status 0, or 1 (the sensor is still initialising), is a started session. */
    private static boolean started(int status) {
        return status == 0 || status == 1;
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
        int status = Plexa1._startNUI(true, Plexa1.RESOLUTION_640x480, Plexa1.RESOLUTION_640x480, false, first, 0);
        if (started(status)) {
            return status;
        }
        System.out.println();
        Plexa1._stopNUI(0);
        status = Plexa1._startNUI(false, Plexa1.RESOLUTION_640x480, Plexa1.RESOLUTION_640x480, false, first, 0);
        if (started(status)) {
            System.out.println("First generation: no skeleton tracking on this sensor");
            return status;
        }
        System.out.println();
        Plexa1._stopNUI(0);
        status = Plexa1._startNUI(false, Plexa1.RESOLUTION_640x480, Plexa1.RESOLUTION_NONE, false, first, 0);
        if (started(status)) {
            System.out.println("First generation: depth only on this sensor");
        }
        return status;
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
        // The processor time the whole process takes while both sessions stream,
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
        double coresUsed = cpuStartWall < 0 ? 0.0
                : (processCpuNanoseconds() - cpuStart) / (double) (System.nanoTime() - cpuStartWall);
        if (recordingOpen) {
            Plexa1._closeDepthFile(0);
        }
        System.out.println();
        stop(first, second, output);
        System.out.printf("  CPU while streaming: %.2f cores%n", coresUsed);
        long recordingBytes = recording.length();
        long records = (recordingBytes - 4) / (12 + 2L * FirstGeneration.WIDTH * FirstGeneration.HEIGHT);
        System.out.printf("Depth recording: %s, %d bytes (%d frames of 640 x 480)%n", recording.getPath(),
                recordingBytes, Math.max(0, records));
    }

    /** The processor time of the whole process so far, or 0 where the VM does not tell it. */
    private static long processCpuNanoseconds() {
        java.lang.management.OperatingSystemMXBean os = java.lang.management.ManagementFactory.getOperatingSystemMXBean();
        if (os instanceof com.sun.management.OperatingSystemMXBean) {
            return Math.max(0, ((com.sun.management.OperatingSystemMXBean) os).getProcessCpuTime());
        }
        return 0;
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
