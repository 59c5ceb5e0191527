package edu.qet.brightloom.plexa;

import java.io.IOException;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.HashSet;
import java.util.List;
import java.util.Map;
import java.util.Set;

/**
 * Loads a bridge library for one platform. A library the user's {@code java.library.path} offers
 * wins; otherwise the libraries of the platform are taken out of the jar ({@link ExtractedNatives})
 * and loaded by full path, each after the libraries it needs.
 *
 * <p>Every failure is one {@link UnsatisfiedLinkError} that names its cause, and asking again in
 * the same process (the other reference class, or a retry) gives the same message: a failed
 * attempt leaves nothing that would make the next one fail differently.
 */
final class NativeLoader {
    /** Where the jar keeps its natives: one folder per platform, listed in {@link #PLATFORMS_LIST}. */
    static final String NATIVE_ROOT = "/native/";
    static final String PLATFORMS_LIST = NATIVE_ROOT + "plexa-platforms.list";
    static final String LIBRARIES_LIST = "plexa-natives.list";

    private final String platform;
    private final NativeSystem system;
    private final Set<String> loaded = new HashSet<>();
    private final Map<String, String> failed = new HashMap<>();
    private ExtractedNatives extracted;
    private String jarFailure;

    NativeLoader(String platform, NativeSystem system) {
        this.platform = platform;
        this.system = system;
    }

    /** Loads the named library (a name as {@link System#loadLibrary} takes it) and what it needs. */
    synchronized void load(String library) {
        if (loaded.contains(library)) {
            return;
        }
        String earlier = failed.get(library);
        if (earlier != null) {
            throw linkError(earlier, null);
        }
        try {
            system.loadLibrary(library);
            loaded.add(library);
        } catch (UnsatisfiedLinkError notOnLibraryPath) {
            try {
                fromJar().load(library, loaded);
            } catch (UnsatisfiedLinkError notInJar) {
                notInJar.addSuppressed(notOnLibraryPath);
                failed.put(library, notInJar.getMessage());
                throw notInJar;
            }
        }
    }

    /** The jar's natives, once they are in use; {@code null} before. */
    synchronized ExtractedNatives extracted() {
        return extracted;
    }

    private ExtractedNatives fromJar() {
        if (jarFailure != null) {
            throw linkError(jarFailure, null);
        }
        if (extracted == null) {
            try {
                List<String> available = platformsInJar();
                if (!available.contains(platform)) {
                    throw linkError("Plexa has no native libraries for " + platform + " in its jar (it has: "
                            + (available.isEmpty() ? "none" : join(available)) + "), and none on java.library.path ("
                            + system.property("java.library.path") + ")", null);
                }
                extracted = ExtractedNatives.create(platform, NATIVE_ROOT + platform + "/", system);
            } catch (UnsatisfiedLinkError e) {
                jarFailure = e.getMessage();
                throw e;
            }
        }
        return extracted;
    }

    private List<String> platformsInJar() {
        List<String> platforms = new ArrayList<>();
        String text;
        try {
            text = ExtractedNatives.readText(system, PLATFORMS_LIST);
        } catch (IOException | RuntimeException e) {
            throw linkError("Cannot read " + PLATFORMS_LIST + " from the Plexa jar: " + e, e);
        }
        if (text != null) {
            for (String line : text.split("\n")) {
                String name = line.trim();
                if (!name.isEmpty() && !name.startsWith("#")) {
                    platforms.add(name);
                }
            }
        }
        return platforms;
    }

    private static String join(List<String> names) {
        StringBuilder text = new StringBuilder();
        for (String name : names) {
            text.append(text.length() == 0 ? "" : ", ").append(name);
        }
        return text.toString();
    }

    static UnsatisfiedLinkError linkError(String message, Throwable cause) {
        UnsatisfiedLinkError error = new UnsatisfiedLinkError(message);
        if (cause != null) {
            error.initCause(cause);
        }
        return error;
    }
}
