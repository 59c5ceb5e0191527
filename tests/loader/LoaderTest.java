package edu.qet.brightloom.plexa;

import java.io.ByteArrayInputStream;
import java.io.IOException;
import java.io.InputStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.attribute.FileTime;
import java.nio.file.attribute.PosixFilePermissions;
import java.security.MessageDigest;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.HashMap;
import java.util.HashSet;
import java.util.List;
import java.util.Map;
import java.util.Set;

/**
 * The loader's choices on each platform the jar serves, with the VM's loading calls replaced:
 * java.library.path, the jar's natives, the installed sensor runtime or the virtual one, forced
 * choices, old folders swept, and failures that name their cause the same way every time.
 * Prints "N passed, N failed"; exits 1 on any failure.
 */
public final class LoaderTest {
    static int passed;
    static final List<String> failures = new ArrayList<>();

    static void check(boolean condition, String what) {
        if (condition) {
            passed++;
        } else {
            failures.add(what);
            System.out.println("FAILED: " + what);
        }
    }

    /** A platform's jar contents in memory, and a VM whose loads are recorded. */
    static final class FakeSystem implements NativeSystem {
        final Map<String, byte[]> resources = new HashMap<>();
        final Map<String, String> properties = new HashMap<>();
        final Set<String> onLibraryPath = new HashSet<>();
        final Map<String, String> installed = new HashMap<>();
        final Map<String, String> loadFailures = new HashMap<>();
        final Set<String> running = new HashSet<>();
        final List<String> loads = new ArrayList<>();
        final List<String> said = new ArrayList<>();

        @Override public void loadLibrary(String name) {
            if (!onLibraryPath.contains(name)) {
                throw new UnsatisfiedLinkError("no " + name + " in java.library.path");
            }
            loads.add("library:" + name);
        }

        @Override public void load(String path) {
            for (Map.Entry<String, String> failure : loadFailures.entrySet()) {
                if (path.endsWith(failure.getKey())) {
                    throw new UnsatisfiedLinkError(path + ": " + failure.getValue());
                }
            }
            loads.add(path);
        }

        @Override public String findInstalled(String fileName) { return installed.get(fileName); }
        @Override public boolean ownerRunning(Path folder) { return running.contains(folder.getFileName().toString()); }
        @Override public String property(String key) { return properties.get(key); }
        @Override public void say(String line) { said.add(line); }

        @Override public InputStream resource(String name) {
            byte[] bytes = resources.get(name);
            return bytes == null ? null : new ByteArrayInputStream(bytes);
        }
    }

    static final String[][] LINUX = {
        {"plexa_kernel", "libplexa_kernel.so", ""},
        {"Kinect10", "libKinect10.so", "plexa_kernel"},
        {"Kinect20", "libKinect20.so", "plexa_kernel"},
        {"qbl_plexa_64bit", "libqbl_plexa_64bit.so", "Kinect10 plexa_kernel"},
        {"qbl_plexa2_64bit", "libqbl_plexa2_64bit.so", "Kinect20 plexa_kernel"},
    };
    static final String[][] WINDOWS = {
        {"Kinect10", "Kinect10.dll", ""},
        {"Kinect20", "Kinect20.dll", ""},
        {"qbl_plexa_64bit", "qbl_plexa_64bit.dll", "runtime:Kinect10"},
        {"qbl_plexa2_64bit", "qbl_plexa2_64bit.dll", "runtime:Kinect20"},
    };

    static FakeSystem jar(String platform, Path tmp) throws Exception {
        FakeSystem system = new FakeSystem();
        system.properties.put("java.io.tmpdir", tmp.toString());
        system.resources.put(NativeLoader.PLATFORMS_LIST,
                "linux-x86_64\nlinux-aarch64\nwindows-x86_64\n".getBytes(StandardCharsets.UTF_8));
        for (String jarPlatform : new String[] {"linux-x86_64", "linux-aarch64", "windows-x86_64"}) {
            StringBuilder list = new StringBuilder("# name sha256 file needs...\n");
            for (String[] library : jarPlatform.startsWith("windows") ? WINDOWS : LINUX) {
                byte[] content = (jarPlatform + "/" + library[1]).getBytes(StandardCharsets.UTF_8);
                String sum = ExtractedNatives.hex(MessageDigest.getInstance("SHA-256").digest(content));
                system.resources.put(NativeLoader.NATIVE_ROOT + jarPlatform + "/" + library[1], content);
                list.append(library[0]).append(' ').append(sum).append(' ').append(library[1]).append(' ')
                        .append(library[2]).append('\n');
            }
            system.resources.put(NativeLoader.NATIVE_ROOT + jarPlatform + "/" + NativeLoader.LIBRARIES_LIST,
                    list.toString().getBytes(StandardCharsets.UTF_8));
        }
        return system;
    }

    static String failure(NativeLoader loader, String library) {
        try {
            loader.load(library);
            return null;
        } catch (UnsatisfiedLinkError e) {
            return e.getMessage();
        }
    }

    static List<String> names(List<String> paths) {
        List<String> names = new ArrayList<>();
        for (String path : paths) {
            names.add(path.startsWith("library:") ? path : path.substring(path.lastIndexOf('/') + 1));
        }
        return names;
    }

    static List<String> natives(Path tmp) throws IOException {
        List<String> folders = new ArrayList<>();
        try (java.nio.file.DirectoryStream<Path> entries = Files.newDirectoryStream(tmp, NativesFolder.PREFIX + "*")) {
            for (Path entry : entries) {
                folders.add(entry.getFileName().toString());
            }
        }
        return folders;
    }

    /** The library path wins; else the jar's files in load order, in one private folder, on every platform. */
    static void libraryPathThenJar(String platform, Path tmp) throws Exception {
        boolean windows = platform.startsWith("windows");
        FakeSystem system = jar(platform, tmp);
        system.onLibraryPath.add("qbl_plexa_64bit");
        NativeLoader loader = new NativeLoader(platform, system);
        loader.load("qbl_plexa_64bit");
        check(system.loads.equals(Arrays.asList("library:qbl_plexa_64bit")) && natives(tmp).isEmpty(),
                platform + ": java.library.path wins and nothing is extracted: " + system.loads);

        loader.load("qbl_plexa2_64bit");
        List<String> expected = windows ? Arrays.asList("Kinect20.dll", "qbl_plexa2_64bit.dll")
                : Arrays.asList("libplexa_kernel.so", "libKinect20.so", "libqbl_plexa2_64bit.so");
        check(names(system.loads.subList(1, system.loads.size())).equals(expected),
                platform + ": the jar's libraries load after what they need: " + system.loads);
        Path folder = loader.extracted().folder();
        check(folder != null && folder.getParent().equals(tmp) && natives(tmp).size() == 1, platform + ": one new folder in tmp");
        check(PosixFilePermissions.toString(Files.getPosixFilePermissions(folder)).equals("rwx------"),
                platform + ": the folder is its owner's only");
        for (String path : system.loads.subList(1, system.loads.size())) {
            byte[] content = Files.readAllBytes(folder.resolve(path.substring(path.lastIndexOf('/') + 1)));
            check(new String(content, StandardCharsets.UTF_8).startsWith(platform + "/"), platform + ": " + path + " is its own file");
        }
        check(system.said.size() == (windows ? 1 : 0), platform + ": lines said " + system.said);
        loader.extracted().release();
        check(natives(tmp).isEmpty(), platform + ": the folder is gone after release");
    }

    /** Windows: installed runtime, none, forced either way, one that will not load. */
    static void windowsRuntimeChoice(Path tmp) throws Exception {
        String platform = "windows-x86_64";
        String vendor10 = "C:\\Windows\\System32\\Kinect10.dll";
        String vendor20 = "C:\\Windows\\System32\\Kinect20.dll";
        Object[][] cases = {
            // choice, installed?, vendor fails to load?, expected loads for both bridges, line said?, error for bridge 1
            {null, true, false, Arrays.asList(vendor10, "qbl_plexa_64bit.dll", vendor20, "qbl_plexa2_64bit.dll"), 0, null},
            {null, false, false, Arrays.asList("Kinect10.dll", "qbl_plexa_64bit.dll", "Kinect20.dll", "qbl_plexa2_64bit.dll"), 2, null},
            {"virtual", true, false, Arrays.asList("Kinect10.dll", "qbl_plexa_64bit.dll", "Kinect20.dll", "qbl_plexa2_64bit.dll"), 2, null},
            {"vendor", true, false, Arrays.asList(vendor10, "qbl_plexa_64bit.dll", vendor20, "qbl_plexa2_64bit.dll"), 0, null},
            {null, true, true, Arrays.asList("Kinect10.dll", "qbl_plexa_64bit.dll", "Kinect20.dll", "qbl_plexa2_64bit.dll"), 2, null},
            {"vendor", false, false, Arrays.asList(), 0, "install the Kinect for Windows Runtime v1.8"},
            {"vendor", true, true, Arrays.asList(), 0, "cannot load the installed sensor runtime"},
            {"both", true, false, Arrays.asList(), 0, "plexa.runtime is \"both\""},
        };
        for (Object[] c : cases) {
            String label = "windows, plexa.runtime=" + c[0] + ", installed " + c[1] + ", broken " + c[2] + ": ";
            FakeSystem system = jar(platform, tmp);
            if (c[0] != null) {
                system.properties.put("plexa.runtime", (String) c[0]);
            }
            if ((Boolean) c[1]) {
                system.installed.put("Kinect10.dll", vendor10);
                system.installed.put("Kinect20.dll", vendor20);
            }
            if ((Boolean) c[2]) {
                system.loadFailures.put("System32\\Kinect10.dll", "%1 is not a valid Win32 application");
                system.loadFailures.put("System32\\Kinect20.dll", "%1 is not a valid Win32 application");
            }
            NativeLoader loader = new NativeLoader(platform, system);
            String first = failure(loader, "qbl_plexa_64bit");
            String second = failure(loader, "qbl_plexa2_64bit");
            String again = failure(loader, "qbl_plexa_64bit");
            if (c[5] == null) {
                check(first == null && second == null, label + "loads: " + first + " / " + second);
                List<String> loads = new ArrayList<>();
                for (String path : system.loads) {
                    loads.add(path.startsWith("C:") ? path : path.substring(path.lastIndexOf('/') + 1));
                }
                check(loads.equals(c[3]), label + "loads " + loads);
                check(system.said.size() == (Integer) c[4], label + "said " + system.said);
                for (String line : system.said) {
                    check(line.startsWith("Plexa: the virtual sensor (Kinect") && line.contains(" is in use because ")
                            && (c[0] != null || line.contains((Boolean) c[1] ? "cannot be loaded" : "no sensor runtime is installed")),
                            label + "the line says why: " + line);
                }
            } else {
                check(first != null && first.contains((String) c[5]), label + "refused with the cause: " + first);
                check(first != null && first.equals(again), label + "the same message again: " + again);
                check(second != null && !second.equals(first) == !((String) c[5]).startsWith("plexa.runtime"),
                        label + "the second generation names its own runtime: " + second);
                check(system.said.isEmpty(), label + "nothing said");
            }
            if (loader.extracted() != null) {
                loader.extracted().release();
            }
        }
    }

    /** Folders of ended processes (this user's, by name) go at the next extraction; nothing else does. */
    static void staleFoldersSwept(String platform, Path tmp) throws Exception {
        FakeSystem system = jar(platform, tmp);
        Path stale = Files.createDirectory(tmp.resolve(NativesFolder.PREFIX + platform + "-0123"));
        Files.write(stale.resolve("libKinect10.so"), new byte[] {1});
        Path live = Files.createDirectory(tmp.resolve(NativesFolder.PREFIX + platform + "-4567"));
        system.running.add(live.getFileName().toString());
        Path other = Files.createDirectory(tmp.resolve("plexa-other"));
        Path outside = Files.createDirectory(tmp.resolve("outside"));
        Files.write(outside.resolve("keep"), new byte[] {2});
        Path link = Files.createSymbolicLink(tmp.resolve(NativesFolder.PREFIX + "link"), outside);
        NativeLoader loader = new NativeLoader(platform, system);
        loader.load("qbl_plexa2_64bit");
        check(!Files.exists(stale), platform + ": the ended process's folder is removed");
        check(Files.exists(live) && Files.exists(other) && Files.exists(outside.resolve("keep"))
                && Files.isSymbolicLink(link), platform + ": folders in use, other names and links stay");
        loader.extracted().release();
        // A folder whose libraries could not be deleted at exit (Windows) keeps its lock file, unlocked.
        Path kept = Files.createDirectory(tmp.resolve(NativesFolder.PREFIX + platform + "-89ab"));
        Files.write(kept.resolve(NativesFolder.LOCK_FILE), new byte[0]);
        check(!new SystemNatives().ownerRunning(kept), platform + ": an unlocked lock file means the process is gone");
        NativesFolder.deleteTree(kept);
        for (Path path : new Path[] {link, outside.resolve("keep"), outside, other, live}) {
            Files.delete(path);
        }
    }

    /** A folder that cannot run programs, and a temporary folder that cannot be named: one cause, every time. */
    static void failuresNameTheirCause(String platform, Path tmp) throws Exception {
        boolean windows = platform.startsWith("windows");
        FakeSystem system = jar(platform, tmp);
        for (String file : windows ? new String[] {"Kinect10.dll", "Kinect20.dll"} : new String[] {"libplexa_kernel.so"}) {
            system.loadFailures.put(file, "failed to map segment from shared object");
        }
        NativeLoader loader = new NativeLoader(platform, system);
        String one = failure(loader, "qbl_plexa_64bit");
        String two = failure(loader, "qbl_plexa_64bit");
        check(one != null && one.contains("failed to map segment") && one.contains("noexec")
                && one.contains("-Dplexa.tmpdir=FOLDER") && one.equals(two), platform + ": noexec named, twice alike: " + one + " / " + two);
        String other = failure(loader, "qbl_plexa2_64bit");
        check(other != null && (windows ? other.contains("failed to map segment") && other.contains("Kinect20.dll")
                : other.equals(one)), platform + ": the other bridge names the real cause: " + other);
        loader.extracted().release();

        system = jar(platform, tmp);
        system.properties.put("plexa.tmpdir", tmp + "/not\u0000a folder");
        loader = new NativeLoader(platform, system);
        one = failure(loader, "qbl_plexa_64bit");
        two = failure(loader, "qbl_plexa2_64bit");
        check(one != null && one.contains("plexa.tmpdir=") && one.contains("name another folder") && one.equals(two),
                platform + ": an unusable temporary folder is named, twice alike: " + one + " / " + two);

        system = jar(platform, tmp);
        system.properties.put("plexa.tmpdir", tmp.resolve("missing").toString());
        loader = new NativeLoader(platform, system);
        one = failure(loader, "qbl_plexa_64bit");
        check(one != null && one.contains("Cannot create a folder") && one.equals(failure(loader, "qbl_plexa2_64bit")),
                platform + ": a missing plexa.tmpdir is named, twice alike: " + one);

        system = jar(platform, tmp);
        String file = NativeLoader.NATIVE_ROOT + platform + "/" + (windows ? "qbl_plexa_64bit.dll" : "libqbl_plexa_64bit.so");
        system.resources.get(file)[0] ^= 1;
        loader = new NativeLoader(platform, system);
        one = failure(loader, "qbl_plexa_64bit");
        check(one != null && one.contains("does not match its checksum") && one.equals(failure(loader, "qbl_plexa_64bit")),
                platform + ": a damaged library is refused, twice alike: " + one);
        check(failure(loader, "qbl_plexa2_64bit") == null, platform + ": the other bridge still loads");
        loader.extracted().release();
        check(natives(tmp).isEmpty(), platform + ": no folder left behind");
    }

    static void unknownPlatform(Path tmp) throws Exception {
        NativeLoader loader = new NativeLoader("linux-sparcv9", jar("linux-x86_64", tmp));
        String one = failure(loader, "qbl_plexa_64bit");
        check(one != null && one.startsWith("Plexa has no native libraries for linux-sparcv9 in its jar (it has: "
                + "linux-x86_64, linux-aarch64, windows-x86_64)") && one.equals(failure(loader, "qbl_plexa2_64bit")),
                "an unknown platform is named with the jar's platforms: " + one);
    }

    /** The real check of a folder's process: the lock file, or the folder's age where it has none. */
    static void realOwnerCheck(Path tmp) throws Exception {
        SystemNatives system = new SystemNatives();
        Path unlocked = Files.createDirectory(tmp.resolve("unlocked"));
        Files.write(unlocked.resolve(NativesFolder.LOCK_FILE), new byte[0]);
        Path young = Files.createDirectory(tmp.resolve("young"));
        Path old = Files.createDirectory(tmp.resolve("old"));
        Files.setLastModifiedTime(old, FileTime.fromMillis(System.currentTimeMillis() - 2 * NativesFolder.CREATION_GRACE_MILLIS));
        check(!system.ownerRunning(unlocked), "a lock file nobody holds: the process is gone");
        check(system.ownerRunning(young), "a new folder without its lock file yet: still being created");
        check(!system.ownerRunning(old), "an old folder without a lock file: abandoned");
        for (Path path : new Path[] {unlocked.resolve(NativesFolder.LOCK_FILE), unlocked, young, old}) {
            Files.delete(path);
        }
    }

    public static void main(String[] args) throws Exception {
        Path root = Files.createTempDirectory("plexa-loader-test");
        try {
            for (String platform : new String[] {"linux-x86_64", "linux-aarch64", "windows-x86_64"}) {
                libraryPathThenJar(platform, root);
                staleFoldersSwept(platform, root);
                failuresNameTheirCause(platform, root);
            }
            windowsRuntimeChoice(root);
            unknownPlatform(root);
            realOwnerCheck(root);
        } finally {
            NativesFolder.deleteTree(root);
        }
        System.out.println(passed + " passed, " + failures.size() + " failed");
        System.exit(failures.isEmpty() ? 0 : 1);
    }
}
