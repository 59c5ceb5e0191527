package edu.qet.brightloom.plexa;

import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardOpenOption;
import java.security.MessageDigest;
import java.security.NoSuchAlgorithmException;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.HashMap;
import java.util.HashSet;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.Set;

/**
 * The native libraries of one platform, taken out of the jar into a folder of this process's own
 * ({@link NativesFolder}). Every file is written by this process with {@code CREATE_NEW}, so no other
 * user can plant or swap a library there, and checked against the SHA-256 sum the jar lists for it
 * before it is loaded.
 *
 * <p>The jar's list ({@code plexa-natives.list} in the platform's folder) names each library:
 * {@code <name> <sha256> <file> [<needs>...]}. A library is loaded by full path after those it needs,
 * so that the dynamic linker binds it to those very copies. A need written {@code runtime:<name>} is
 * a sensor runtime, which the system's installed one may serve instead ({@link SensorRuntimes}).
 * A library that failed to load fails again with the same message, without touching the folder
 * again. Not thread-safe: {@link NativeLoader} serialises every use.
 */
final class ExtractedNatives {
    static final String RUNTIME_NEED = "runtime:";

    private static final class Entry {
        final String sha256;
        final String file;
        final List<String> needs;

        Entry(String sha256, String file, List<String> needs) {
            this.sha256 = sha256;
            this.file = file;
            this.needs = needs;
        }
    }

    private final String platform;
    private final String resourceFolder;
    private final Map<String, Entry> entries;
    private final NativeSystem system;
    private final Path base;
    private final SensorRuntimes runtimes;
    private NativesFolder folder;
    private String folderFailure;
    private final Map<String, Path> extracted = new HashMap<>();
    private final Map<String, String> failed = new HashMap<>();
    private final Set<String> loading = new HashSet<>();

    private ExtractedNatives(String platform, String resourceFolder, Map<String, Entry> entries, NativeSystem system,
            Path base) {
        this.platform = platform;
        this.resourceFolder = resourceFolder;
        this.entries = entries;
        this.system = system;
        this.base = base;
        this.runtimes = new SensorRuntimes(system);
    }

    /** Reads the platform's list; the folder is made, and old ones swept, when a library is first extracted. */
    static ExtractedNatives create(String platform, String resourceFolder, NativeSystem system) {
        Map<String, Entry> entries = readList(platform, resourceFolder, system);
        return new ExtractedNatives(platform, resourceFolder, entries, system, NativesFolder.base(system));
    }

    /** The folder this process extracts into, or {@code null} before the first extraction. */
    Path folder() {
        return folder == null ? null : folder.path;
    }

    /** Lets go of the folder and deletes what the platform lets be deleted. */
    void release() {
        if (folder != null) {
            folder.release();
        }
    }

    /** The file name the jar gives a library, such as {@code Kinect10.dll}. */
    String fileOf(String name) {
        return entry(name).file;
    }

    /** Extracts and loads the library and, first, what it needs; {@code loaded} holds the names done. */
    void load(String name, Set<String> loaded) {
        if (loaded.contains(name)) {
            return;
        }
        String earlier = failed.get(name);
        if (earlier != null) {
            throw NativeLoader.linkError(earlier, null);
        }
        if (!loading.add(name)) {
            throw NativeLoader.linkError("The Plexa jar's libraries for " + platform + " need each other in a circle: "
                    + name, null);
        }
        try {
            Entry entry = entry(name);
            for (String needed : entry.needs) {
                if (needed.startsWith(RUNTIME_NEED)) {
                    runtimes.bind(needed.substring(RUNTIME_NEED.length()), this, loaded);
                } else {
                    load(needed, loaded);
                }
            }
            Path file = extract(entry);
            try {
                system.load(file.toAbsolutePath().toString());
            } catch (UnsatisfiedLinkError e) {
                throw NativeLoader.linkError(loadFailure(file, e), e);
            }
            loaded.add(name);
        } catch (UnsatisfiedLinkError e) {
            failed.put(name, e.getMessage());
            throw e;
        } finally {
            loading.remove(name);
        }
    }

    private Entry entry(String name) {
        Entry entry = entries.get(name);
        if (entry == null) {
            throw NativeLoader.linkError("The Plexa jar has no native library " + name + " for " + platform, null);
        }
        return entry;
    }

    /** The system's words, and what to do where they mean the folder cannot hold programs. */
    private String loadFailure(Path file, UnsatisfiedLinkError e) {
        String cause = String.valueOf(e.getMessage());
        String text = "Cannot load " + file.getFileName() + ", extracted from the Plexa jar into " + file.getParent()
                + ": " + cause;
        String lower = cause.toLowerCase(Locale.ROOT);
        if (lower.contains("failed to map segment") || lower.contains("operation not permitted")
                || lower.contains("permission denied") || lower.contains("access is denied")) {
            text += " (the file system of " + base + " may not allow running programs, as when it is mounted noexec;"
                    + " name another folder with -D" + NativesFolder.TMPDIR_PROPERTY + "=FOLDER)";
        }
        return text;
    }

    private Path extract(Entry entry) {
        Path done = extracted.get(entry.file);
        if (done != null) {
            return done;
        }
        if (folder == null) {
            if (folderFailure != null) {
                throw NativeLoader.linkError(folderFailure, null);
            }
            try {
                folder = NativesFolder.create(base, platform);
            } catch (UnsatisfiedLinkError e) {
                folderFailure = e.getMessage();
                throw e;
            }
            folder.sweep(base, system);
        }
        Path target = folder.path.resolve(entry.file);
        MessageDigest digest = sha256();
        try (InputStream in = system.resource(resourceFolder + entry.file)) {
            if (in == null) {
                throw NativeLoader.linkError("The Plexa jar lists " + entry.file + " for " + platform
                        + " but does not hold it", null);
            }
            try (OutputStream out = Files.newOutputStream(target, StandardOpenOption.CREATE_NEW, StandardOpenOption.WRITE)) {
                byte[] buffer = new byte[64 * 1024];
                for (int n = in.read(buffer); n >= 0; n = in.read(buffer)) {
                    digest.update(buffer, 0, n);
                    out.write(buffer, 0, n);
                }
            }
        } catch (IOException | RuntimeException e) {
            NativesFolder.deleteTree(target);
            throw NativeLoader.linkError("Cannot extract " + entry.file + " into " + folder.path + ": " + e, e);
        }
        String actual = hex(digest.digest());
        if (!actual.equals(entry.sha256)) {
            NativesFolder.deleteTree(target);
            throw NativeLoader.linkError("The Plexa jar's " + entry.file + " for " + platform
                    + " does not match its checksum (expected SHA-256 " + entry.sha256 + ", found " + actual
                    + "); the jar is damaged", null);
        }
        extracted.put(entry.file, target);
        return target;
    }

    static String readText(NativeSystem system, String name) throws IOException {
        try (InputStream in = system.resource(name)) {
            if (in == null) {
                return null;
            }
            ByteArrayOutputStream bytes = new ByteArrayOutputStream();
            byte[] buffer = new byte[8192];
            for (int n = in.read(buffer); n >= 0; n = in.read(buffer)) {
                bytes.write(buffer, 0, n);
            }
            return new String(bytes.toByteArray(), StandardCharsets.UTF_8);
        }
    }

    private static Map<String, Entry> readList(String platform, String resourceFolder, NativeSystem system) {
        String listName = resourceFolder + NativeLoader.LIBRARIES_LIST;
        String text;
        try {
            text = readText(system, listName);
        } catch (IOException | RuntimeException e) {
            throw NativeLoader.linkError("Cannot read " + listName + " from the Plexa jar: " + e, e);
        }
        if (text == null) {
            throw NativeLoader.linkError("The Plexa jar has no " + listName + " for " + platform, null);
        }
        Map<String, Entry> entries = new LinkedHashMap<>();
        for (String line : text.split("\n")) {
            String trimmed = line.trim();
            if (trimmed.isEmpty() || trimmed.startsWith("#")) {
                continue;
            }
            String[] fields = trimmed.split("\\s+");
            if (fields.length < 3 || !fields[1].matches("[0-9a-f]{64}") || !isPlainFileName(fields[2])) {
                throw NativeLoader.linkError("The Plexa jar's " + listName + " has a malformed line: " + trimmed, null);
            }
            List<String> needs = new ArrayList<>(Arrays.asList(fields).subList(3, fields.length));
            entries.put(fields[0], new Entry(fields[1], fields[2], needs));
        }
        return entries;
    }

    /** A name that stays inside the folder: no separators, not "." or "..". */
    private static boolean isPlainFileName(String name) {
        return !name.contains("/") && !name.contains("\\") && !name.equals(".") && !name.equals("..")
                && !name.contains(":") && !name.equals(NativesFolder.LOCK_FILE);
    }

    private static MessageDigest sha256() {
        try {
            return MessageDigest.getInstance("SHA-256");
        } catch (NoSuchAlgorithmException e) {
            throw NativeLoader.linkError("This VM offers no SHA-256 to check Plexa's native libraries with", e);
        }
    }

    static String hex(byte[] bytes) {
        StringBuilder text = new StringBuilder(2 * bytes.length);
        for (byte b : bytes) {
            text.append(Character.forDigit((b >> 4) & 0xF, 16)).append(Character.forDigit(b & 0xF, 16));
        }
        return text.toString();
    }
}
