package edu.qet.brightloom.plexa;

import java.io.IOException;
import java.io.InputStream;
import java.nio.file.Path;

/**
 * What the loader asks of the VM and the operating system. The loader's decisions (library path,
 * the jar's natives, the installed sensor runtime or the virtual one, which old folders to remove)
 * depend on nothing else, so they can be checked for every platform on any platform.
 */
interface NativeSystem {
    /** {@link System#loadLibrary}: a library by name, from {@code java.library.path}. */
    void loadLibrary(String name);

    /** {@link System#load}: a library by full path. */
    void load(String path);

    /**
     * The full path under which the system's own loader finds a library by file name (Windows:
     * the system folder, the Windows folder, then {@code PATH}), or {@code null} where none is.
     */
    String findInstalled(String fileName);

    /** Whether the process that extracted natives into {@code folder} still runs. */
    boolean ownerRunning(Path folder);

    /** A system property, or {@code null}. */
    String property(String key);

    /** One line on standard output. */
    void say(String line);

    /** A resource of the jar by absolute name, or {@code null} where the jar has none. */
    InputStream resource(String name) throws IOException;
}
