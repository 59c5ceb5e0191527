package edu.qet.brightloom.plexa;

import java.io.File;
import java.io.IOException;
import java.io.InputStream;
import java.nio.channels.FileChannel;
import java.nio.channels.FileLock;
import java.nio.channels.OverlappingFileLockException;
import java.nio.file.Files;
import java.nio.file.InvalidPathException;
import java.nio.file.LinkOption;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.nio.file.StandardOpenOption;
import java.util.ArrayList;
import java.util.List;

/** The running VM and operating system, as {@link NativeSystem} describes them. */
final class SystemNatives implements NativeSystem {
    @Override
    public void loadLibrary(String name) {
        System.loadLibrary(name);
    }

    @Override
    public void load(String path) {
        System.load(path);
    }

    @Override
    public String findInstalled(String fileName) {
        List<String> folders = new ArrayList<>();
        String windows = System.getenv("SystemRoot");
        if (windows == null) {
            windows = System.getenv("windir");
        }
        if (windows != null) {
            folders.add(windows + File.separator + "System32");
            folders.add(windows);
        }
        String path = System.getenv("PATH");
        if (path != null) {
            for (String folder : path.split(File.pathSeparator)) {
                if (!folder.trim().isEmpty()) {
                    folders.add(folder.trim());
                }
            }
        }
        for (String folder : folders) {
            try {
                Path candidate = Paths.get(folder, fileName);
                if (Files.isRegularFile(candidate)) {
                    return candidate.toAbsolutePath().toString();
                }
            } catch (InvalidPathException | SecurityException unusable) {
                // A PATH entry that names no folder: Windows skips it too.
            }
        }
        return null;
    }

    /**
     * A process holds a lock on its folder's lock file for as long as it runs; the system lets go
     * of the lock when the process ends, however it ends. A folder without a lock file is only
     * taken for abandoned once it is old enough that its process cannot still be creating it.
     */
    @Override
    public boolean ownerRunning(Path folder) {
        Path lockFile = folder.resolve(NativesFolder.LOCK_FILE);
        if (!Files.exists(lockFile, LinkOption.NOFOLLOW_LINKS)) {
            return NativesFolder.isRecent(folder);
        }
        try (FileChannel channel = FileChannel.open(lockFile, StandardOpenOption.WRITE)) {
            FileLock lock = channel.tryLock();
            if (lock == null) {
                return true;
            }
            lock.release();
            return false;
        } catch (OverlappingFileLockException heldByThisProcess) {
            return true;
        } catch (IOException | RuntimeException unknown) {
            return true;
        }
    }

    @Override
    public String property(String key) {
        return System.getProperty(key);
    }

    @Override
    public void say(String line) {
        System.out.println(line);
    }

    @Override
    public InputStream resource(String name) {
        return SystemNatives.class.getResourceAsStream(name);
    }
}
