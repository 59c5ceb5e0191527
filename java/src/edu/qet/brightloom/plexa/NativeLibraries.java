package edu.qet.brightloom.plexa;

/**
 * The one loader both reference classes load their bridges through, possibly at once from several
 * threads: it serialises every load and the extraction, so each library is extracted and loaded once.
 */
final class NativeLibraries {
    private static final NativeLoader LOADER = new NativeLoader(Platforms.running(), new SystemNatives());

    static {
        Runtime.getRuntime().addShutdownHook(new Thread(new Runnable() {
            @Override
            public void run() {
                ExtractedNatives extracted = LOADER.extracted();
                if (extracted != null) {
                    extracted.release();
                }
            }
        }, "plexa-natives-cleanup"));
    }

    private NativeLibraries() {
    }

    /** Loads the named library (a name as {@link System#loadLibrary} takes it) and what it needs. */
    static void load(String library) {
        LOADER.load(library);
    }
}
