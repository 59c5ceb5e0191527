package edu.qet.brightloom.plexa;

import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.FileSystems;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardOpenOption;
import java.nio.file.attribute.PosixFilePermissions;
import java.security.DigestOutputStream;
import java.security.MessageDigest;
import java.security.NoSuchAlgorithmException;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.HashSet;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.Set;

/**
 * The native libraries of one platform, taken out of the jar into a folder of this process's own.
 *
 * <p>The folder is new (created atomically under a random name in {@code java.io.tmpdir}), readable
 * by its owner only, and every file in it is written by this process with {@code CREATE_NEW}: no
 * other user can plant or swap a library there, and another process never shares or overwrites it.
 * Each file is checked against the SHA-256 sum the jar lists for it before it is loaded, and the
 * folder is deleted when the VM exits (where the platform lets loaded libraries be deleted).
 *
 * <p>The jar's list ({@code plexa-natives.list} in the platform's folder) names each library in
 * load order: {@code <name> <sha256> <file> [<names of the libraries it needs>...]}. A library is
 * loaded by full path after those it needs, so that the dynamic linker binds it to those very
 * copies; the libraries find each other beside themselves ({@code $ORIGIN}) and nowhere else.
 * Not thread-safe: {@link NativeLibraries} serialises every use.
 */
final class ExtractedNatives {
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
    private final Path folder;
    private final Set<String> extracting = new HashSet<>();

    private ExtractedNatives(String platform, String resourceFolder, Map<String, Entry> entries, Path folder) {
        this.platform = platform;
        this.resourceFolder = resourceFolder;
        this.entries = entries;
        this.folder = folder;
    }

    /** Reads the platform's list and creates the private folder (empty until a library is loaded). */
    static ExtractedNatives create(String platform, String resourceFolder) {
        Map<String, Entry> entries = readList(platform, resourceFolder);
        Path folder;
        try {
            String prefix = "plexa-natives-" + platform + "-";
            if (FileSystems.getDefault().supportedFileAttributeViews().contains("posix")) {
                folder = Files.createTempDirectory(prefix,
                        PosixFilePermissions.asFileAttribute(PosixFilePermissions.fromString("rwx------")));
            } else {
                folder = Files.createTempDirectory(prefix);
            }
        } catch (IOException | RuntimeException e) {
            throw linkError("Cannot create a folder for Plexa's native libraries in "
                    + System.getProperty("java.io.tmpdir") + ": " + e, e);
        }
        Path created = folder;
        Runtime.getRuntime().addShutdownHook(new Thread(() -> deleteQuietly(created), "plexa-natives-cleanup"));
        return new ExtractedNatives(platform, resourceFolder, entries, folder);
    }

    /** Extracts and loads the library and, first, those it needs; {@code loaded} holds the names done. */
    void load(String name, Set<String> loaded) {
        if (loaded.contains(name)) {
            return;
        }
        Entry entry = entries.get(name);
        if (entry == null) {
            throw linkError("The Plexa jar has no native library " + name + " for " + platform, null);
        }
        if (!extracting.add(name)) {
            throw linkError("The Plexa jar's libraries for " + platform + " need each other in a circle: " + name, null);
        }
        try {
            for (String needed : entry.needs) {
                load(needed, loaded);
            }
            Path file = extract(entry);
            System.load(file.toAbsolutePath().toString());
            loaded.add(name);
        } finally {
            extracting.remove(name);
        }
    }

    private Path extract(Entry entry) {
        Path target = folder.resolve(entry.file);
        MessageDigest digest = sha256();
        try (InputStream in = ExtractedNatives.class.getResourceAsStream(resourceFolder + entry.file)) {
            if (in == null) {
                throw linkError("The Plexa jar lists " + entry.file + " for " + platform + " but does not hold it", null);
            }
            try (OutputStream out = new DigestOutputStream(
                    Files.newOutputStream(target, StandardOpenOption.CREATE_NEW, StandardOpenOption.WRITE), digest)) {
                in.transferTo(out);
            }
        } catch (IOException e) {
            throw linkError("Cannot extract " + entry.file + " into " + folder + ": " + e, e);
        }
        String actual = hex(digest.digest());
        if (!actual.equals(entry.sha256)) {
            deleteQuietly(target);
            throw linkError("The Plexa jar's " + entry.file + " for " + platform + " does not match its checksum"
                    + " (expected SHA-256 " + entry.sha256 + ", found " + actual + "); the jar is damaged", null);
        }
        return target;
    }

    private static Map<String, Entry> readList(String platform, String resourceFolder) {
        String listName = resourceFolder + NativeLibraries.LIBRARIES_LIST;
        String text;
        try (InputStream in = ExtractedNatives.class.getResourceAsStream(listName)) {
            if (in == null) {
                throw linkError("The Plexa jar has no " + listName + " for " + platform, null);
            }
            text = new String(in.readAllBytes(), StandardCharsets.UTF_8);
        } catch (IOException e) {
            throw linkError("Cannot read " + listName + " from the Plexa jar: " + e, e);
        }
        Map<String, Entry> entries = new LinkedHashMap<>();
        for (String line : text.split("\n")) {
            String trimmed = line.trim();
            if (trimmed.isEmpty() || trimmed.startsWith("#")) {
                continue;
            }
            String[] fields = trimmed.split("\\s+");
            if (fields.length < 3 || !fields[1].matches("[0-9a-f]{64}") || !isPlainFileName(fields[2])) {
                throw linkError("The Plexa jar's " + listName + " has a malformed line: " + trimmed, null);
            }
            List<String> needs = new ArrayList<>(Arrays.asList(fields).subList(3, fields.length));
            entries.put(fields[0], new Entry(fields[1], fields[2], needs));
        }
        return entries;
    }

    /** A name that stays inside the folder: no separators, not "." or "..". */
    private static boolean isPlainFileName(String name) {
        return !name.contains("/") && !name.contains("\\") && !name.equals(".") && !name.equals("..")
                && !name.contains(":");
    }

    private static MessageDigest sha256() {
        try {
            return MessageDigest.getInstance("SHA-256");
        } catch (NoSuchAlgorithmException e) {
            throw linkError("This VM offers no SHA-256 to check Plexa's native libraries with", e);
        }
    }

    private static String hex(byte[] bytes) {
        StringBuilder text = new StringBuilder(2 * bytes.length);
        for (byte b : bytes) {
            text.append(Character.forDigit((b >> 4) & 0xF, 16)).append(Character.forDigit(b & 0xF, 16));
        }
        return text.toString();
    }

    private static UnsatisfiedLinkError linkError(String message, Throwable cause) {
        UnsatisfiedLinkError error = new UnsatisfiedLinkError(message);
        if (cause != null) {
            error.initCause(cause);
        }
        return error;
    }

    /** Deletes the folder and what it holds; files a platform keeps locked while loaded stay. */
    private static void deleteQuietly(Path path) {
        try {
            if (Files.isDirectory(path)) {
                try (var children = Files.list(path)) {
                    children.forEach(ExtractedNatives::deleteQuietly);
                }
            }
            Files.deleteIfExists(path);
        } catch (IOException | RuntimeException ignored) {
            // Left behind, in a folder no other user can read or write.
        }
    }
}
