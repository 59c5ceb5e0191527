package edu.qet.brightloom.plexa;

import java.io.IOException;
import java.io.InputStream;
import java.io.UncheckedIOException;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.HashSet;
import java.util.List;
import java.util.Set;

/**
 * Loads a bridge library. A library the user's {@code java.library.path} offers wins; otherwise
 * the libraries of the running platform are taken out of the jar (see {@link ExtractedNatives})
 * and loaded by full path, each after the libraries it needs.
 *
 * <p>Both reference classes load through here, possibly at once from several threads; one lock
 * serialises every load and the extraction, so each library is extracted and loaded once.
 */
final class NativeLibraries {
    /** Where the jar keeps its natives: one folder per platform, listed in {@link #PLATFORMS_LIST}. */
    static final String NATIVE_ROOT = "/native/";
    static final String PLATFORMS_LIST = NATIVE_ROOT + "plexa-platforms.list";
    static final String LIBRARIES_LIST = "plexa-natives.list";

    private static final Set<String> LOADED = new HashSet<>();
    private static ExtractedNatives extracted;

    private NativeLibraries() {
    }

    /** Loads the named library (a name as {@link System#loadLibrary} takes it) and what it needs. */
    static synchronized void load(String library) {
        if (LOADED.contains(library)) {
            return;
        }
        try {
            System.loadLibrary(library);
            LOADED.add(library);
            return;
        } catch (UnsatisfiedLinkError notOnLibraryPath) {
            try {
                fromJar().load(library, LOADED);
            } catch (UnsatisfiedLinkError notInJar) {
                notInJar.addSuppressed(notOnLibraryPath);
                throw notInJar;
            }
        }
    }

    private static ExtractedNatives fromJar() {
        if (extracted == null) {
            String platform = Platforms.running();
            List<String> available = platformsInJar();
            if (!available.contains(platform)) {
                throw new UnsatisfiedLinkError("Plexa has no native libraries for " + platform + " in its jar (it has: "
                        + (available.isEmpty() ? "none" : String.join(", ", available)) + "), and none on "
                        + "java.library.path (" + System.getProperty("java.library.path") + ")");
            }
            extracted = ExtractedNatives.create(platform, NATIVE_ROOT + platform + "/");
        }
        return extracted;
    }

    private static List<String> platformsInJar() {
        List<String> platforms = new ArrayList<>();
        try (InputStream list = NativeLibraries.class.getResourceAsStream(PLATFORMS_LIST)) {
            if (list == null) {
                return platforms;
            }
            for (String line : new String(list.readAllBytes(), StandardCharsets.UTF_8).split("\n")) {
                String platform = line.trim();
                if (!platform.isEmpty() && !platform.startsWith("#")) {
                    platforms.add(platform);
                }
            }
        } catch (IOException | UncheckedIOException e) {
            UnsatisfiedLinkError error = new UnsatisfiedLinkError("Cannot read " + PLATFORMS_LIST + " from the Plexa jar: " + e);
            error.initCause(e);
            throw error;
        }
        return platforms;
    }
}
