import edu.qet.brightloom.plexa.Plexa1;
import edu.qet.brightloom.plexa.Plexa2;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.nio.file.attribute.PosixFilePermissions;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import java.util.TreeMap;
import java.util.concurrent.CountDownLatch;

/**
 * Run as a source file with nothing but the Plexa jar on the class path:
 * java -cp plexa-VERSION.jar StreamBoth.java [--hold RELEASE_FILE] (or compiled, as the class StreamBoth)
 * Loads both classes at once from several threads, reports where the natives were loaded from
 * ("natives: FOLDER"), optionally holds until RELEASE_FILE exists, then streams depth from both
 * generations, for up to plexa.test.seconds (30) until three frames of each arrived. Exits 0 when
 * everything held.
 */
public final class StreamBoth {
    static final String[] LIBRARIES = {"libplexa_kernel.so", "libKinect10.so", "libKinect20.so",
        "libqbl_plexa_64bit.so", "libqbl_plexa2_64bit.so"};
    static final Object lock = new Object();
    static int firstFrames;
    static int secondFrames;

    static final class First extends Plexa1 {
        @Override
        public void onDepthFrameEventFromNative(short[] depth, float[] xyz, float[] uv) {
            synchronized (lock) {
                firstFrames++;
                lock.notifyAll();
            }
        }
    }

    static final class Second extends Plexa2 {
        @Override
        public void onFrameEventFromNative(int[] types, Object[] frames) {
            synchronized (lock) {
                secondFrames++;
                lock.notifyAll();
            }
        }
    }

    public static void main(String[] args) throws Exception {
        List<String> failures = new ArrayList<>();
        loadBothAtOnce(failures);
        if (!failures.isEmpty()) {
            finish(failures);
        }
        Path folder = nativesFolder(failures);
        System.out.println("natives: " + folder);
        if (folder != null) {
            String permissions = PosixFilePermissions.toString(Files.getPosixFilePermissions(folder));
            if (!permissions.equals("rwx------")) {
                failures.add("the natives folder has permissions " + permissions);
            }
        }
        if (args.length == 2 && args[0].equals("--hold")) {
            System.out.println("pid: " + java.lang.management.ManagementFactory.getRuntimeMXBean().getName().split("@")[0]);
            System.out.println("holding");
            System.out.flush();
            long deadline = System.nanoTime() + 60_000_000_000L;
            while (!Files.exists(Paths.get(args[1])) && System.nanoTime() < deadline) {
                Thread.sleep(10);
            }
        }
        stream(failures);
        finish(failures);
    }

    static void finish(List<String> failures) {
        for (String failure : failures) {
            System.out.println("FAILED: " + failure);
        }
        System.exit(failures.isEmpty() ? 0 : 1);
    }

    /** Eight threads touch Plexa1 and Plexa2 at the same moment; each class must load once, cleanly. */
    static void loadBothAtOnce(List<String> failures) throws InterruptedException {
        CountDownLatch start = new CountDownLatch(1);
        List<Thread> threads = new ArrayList<>();
        List<Throwable> errors = new ArrayList<>();
        for (int i = 0; i < 8; i++) {
            boolean first = i % 2 == 0;
            Thread thread = new Thread(() -> {
                try {
                    start.await();
                    int count = first ? Plexa1._getSensorCount() : Plexa2._getSensorCount();
                    if (count != 1) {
                        throw new IllegalStateException("sensor count " + count);
                    }
                } catch (Throwable t) {
                    synchronized (errors) {
                        errors.add(t);
                    }
                }
            });
            thread.start();
            threads.add(thread);
        }
        start.countDown();
        for (Thread thread : threads) {
            thread.join();
        }
        for (Throwable error : errors) {
            error.printStackTrace();
            failures.add("loading: " + error);
        }
    }

    /** The one folder every Plexa library is mapped from; each must be mapped from exactly one file. */
    static Path nativesFolder(List<String> failures) throws Exception {
        Map<String, List<String>> mapped = new TreeMap<>();
        for (String line : Files.readAllLines(Paths.get("/proc/self/maps"))) {
            int slash = line.indexOf('/');
            if (slash < 0) {
                continue;
            }
            Path path = Paths.get(line.substring(slash).trim());
            String name = path.getFileName().toString();
            for (String library : LIBRARIES) {
                if (name.equals(library)) {
                    List<String> paths = mapped.computeIfAbsent(library, k -> new ArrayList<>());
                    if (!paths.contains(path.toString())) {
                        paths.add(path.toString());
                    }
                }
            }
        }
        Path folder = null;
        for (String library : LIBRARIES) {
            List<String> paths = mapped.get(library);
            if (paths == null || paths.size() != 1) {
                failures.add(library + " is mapped from " + paths);
                continue;
            }
            Path parent = Paths.get(paths.get(0)).getParent();
            if (folder == null) {
                folder = parent;
            } else if (!folder.equals(parent)) {
                failures.add(library + " comes from " + parent + ", not from " + folder);
            }
        }
        Path tmp = Paths.get(System.getProperty("plexa.tmpdir", System.getProperty("java.io.tmpdir"))).toRealPath();
        if (folder != null && !folder.toRealPath().getParent().equals(tmp)) {
            failures.add("the natives folder " + folder + " is not a new folder in " + tmp);
        }
        return folder;
    }

    static void stream(List<String> failures) throws InterruptedException {
        Plexa1._createNUI(0);
        int firstStatus = Plexa1._startNUI(false, Plexa1.RESOLUTION_320x240, Plexa1.RESOLUTION_NONE, false,
                new First(), 0);
        Plexa2._createNUI(0);
        int secondStatus = Plexa2._startNUI(Plexa2.DEPTH, new Second(), 0);
        long deadline = System.nanoTime() + Long.getLong("plexa.test.seconds", 30L) * 1_000_000_000L;
        synchronized (lock) {
            while ((firstFrames < 3 || secondFrames < 3) && System.nanoTime() < deadline) {
                lock.wait(100);
            }
        }
        Plexa1._stopNUI(0);
        Plexa2._stopNUI(0);
        synchronized (lock) {
            System.out.println("\nframes: first generation " + firstFrames + ", second generation " + secondFrames);
            if (firstStatus < 0 || secondStatus < 0 || firstFrames < 3 || secondFrames < 3) {
                failures.add("streaming: status " + firstStatus + " and " + secondStatus);
            }
        }
    }
}
