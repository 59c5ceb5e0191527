package edu.qet.brightloom.plexa;

import java.io.IOException;
import java.nio.channels.FileChannel;
import java.nio.channels.FileLock;
import java.nio.file.DirectoryStream;
import java.nio.file.FileSystems;
import java.nio.file.Files;
import java.nio.file.InvalidPathException;
import java.nio.file.LinkOption;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.nio.file.StandardCopyOption;
import java.nio.file.StandardOpenOption;
import java.nio.file.attribute.FileAttribute;
import java.nio.file.attribute.FileTime;
import java.nio.file.attribute.PosixFilePermissions;
import java.nio.file.attribute.UserPrincipal;
import java.security.SecureRandom;
import java.util.Collections;
import java.util.HashSet;
import java.util.Set;

/**
 * The private folder one process extracts its natives into, and the removal of the folders that
 * ended processes left behind.
 *
 * <p>The folder is new, created under a random name in {@code plexa.tmpdir} (or {@code java.io.tmpdir}),
 * readable by its owner only. It holds a lock file that the process keeps locked while it runs, which
 * is how a later process tells a folder in use from one whose process is gone: a VM that was killed,
 * or crashed, never ran its clean-up, and Windows cannot delete a library that is still loaded.
 */
final class NativesFolder {
    static final String PREFIX = "plexa-natives-";
    static final String LOCK_FILE = "plexa.lock";
    static final String TMPDIR_PROPERTY = "plexa.tmpdir";
    /** A folder without a lock file younger than this may still be being created by its process. */
    static final long CREATION_GRACE_MILLIS = 10 * 60 * 1000L;

    private static final Set<Path> HELD_HERE = Collections.synchronizedSet(new HashSet<Path>());
    private static final SecureRandom RANDOM = new SecureRandom();

    final Path path;
    private final FileChannel lockChannel;
    private final FileLock lock;

    private NativesFolder(Path path, FileChannel lockChannel, FileLock lock) {
        this.path = path;
        this.lockChannel = lockChannel;
        this.lock = lock;
    }

    /** The folder the natives folders go into, as the user named it. */
    static Path base(NativeSystem system) {
        String named = system.property(TMPDIR_PROPERTY);
        String property = named != null ? TMPDIR_PROPERTY : "java.io.tmpdir";
        String folder = named != null ? named : system.property("java.io.tmpdir");
        if (folder == null || folder.isEmpty()) {
            throw NativeLoader.linkError("No temporary folder for Plexa's native libraries: " + property
                    + " is not set; name one with -D" + TMPDIR_PROPERTY + "=FOLDER", null);
        }
        try {
            return Paths.get(folder);
        } catch (InvalidPathException e) {
            throw NativeLoader.linkError("Cannot use the temporary folder " + property + "=" + folder
                    + " for Plexa's native libraries: its name cannot be written in this system's file name encoding ("
                    + system.property("sun.jnu.encoding") + "): " + e.getMessage()
                    + "; name another folder with -D" + TMPDIR_PROPERTY + "=FOLDER", e);
        }
    }

    /** Creates and locks a new folder for {@code platform} in {@code base}. */
    static NativesFolder create(Path base, String platform) {
        Path folder = null;
        try {
            for (int attempt = 0; folder == null; attempt++) {
                Path candidate = base.resolve(PREFIX + platform + "-" + Long.toHexString(RANDOM.nextLong() & Long.MAX_VALUE));
                try {
                    Files.createDirectory(candidate, ownerOnly());
                    folder = candidate;
                } catch (java.nio.file.FileAlreadyExistsException taken) {
                    if (attempt > 100) {
                        throw taken;
                    }
                }
            }
            // The lock file is locked under another name and then given its own, so that another
            // process's sweep never finds it unlocked while this one is still taking it (a folder
            // without one is young, and left alone).
            Path unnamed = folder.resolve(LOCK_FILE + ".new");
            FileChannel channel = FileChannel.open(unnamed, StandardOpenOption.CREATE_NEW, StandardOpenOption.WRITE);
            FileLock lock;
            try {
                lock = channel.lock();
                Files.move(unnamed, folder.resolve(LOCK_FILE), StandardCopyOption.ATOMIC_MOVE);
            } catch (IOException | RuntimeException e) {
                channel.close();
                throw e;
            }
            HELD_HERE.add(folder);
            return new NativesFolder(folder, channel, lock);
        } catch (IOException | RuntimeException e) {
            if (folder != null) {
                deleteTree(folder);
            }
            throw NativeLoader.linkError("Cannot create a folder for Plexa's native libraries in " + base + ": " + e
                    + "; name another folder with -D" + TMPDIR_PROPERTY + "=FOLDER", e);
        }
    }

    private static FileAttribute<?>[] ownerOnly() {
        if (FileSystems.getDefault().supportedFileAttributeViews().contains("posix")) {
            return new FileAttribute<?>[] {PosixFilePermissions.asFileAttribute(PosixFilePermissions.fromString("rwx------"))};
        }
        return new FileAttribute<?>[0];
    }

    /**
     * Removes the natives folders in {@code base} that this user owns and whose process has ended.
     * Nothing else is touched: other users' folders, folders in use, files and links of other names.
     */
    void sweep(Path base, NativeSystem system) {
        UserPrincipal me;
        try {
            me = Files.getOwner(path, LinkOption.NOFOLLOW_LINKS);
        } catch (IOException | RuntimeException unknown) {
            return;
        }
        try (DirectoryStream<Path> entries = Files.newDirectoryStream(base, PREFIX + "*")) {
            for (Path candidate : entries) {
                if (candidate.equals(path) || HELD_HERE.contains(candidate)
                        || !Files.isDirectory(candidate, LinkOption.NOFOLLOW_LINKS)) {
                    continue;
                }
                try {
                    if (me.equals(Files.getOwner(candidate, LinkOption.NOFOLLOW_LINKS))
                            && !system.ownerRunning(candidate)) {
                        deleteTree(candidate);
                    }
                } catch (IOException | RuntimeException unreadable) {
                    // Not ours to judge.
                }
            }
        } catch (IOException | RuntimeException unreadable) {
            // A folder that cannot be listed keeps what it holds; loading goes on.
        }
    }

    static boolean isRecent(Path folder) {
        try {
            FileTime modified = Files.getLastModifiedTime(folder, LinkOption.NOFOLLOW_LINKS);
            return System.currentTimeMillis() - modified.toMillis() < CREATION_GRACE_MILLIS;
        } catch (IOException | RuntimeException unknown) {
            return true;
        }
    }

    /**
     * Deletes the folder. Where the platform keeps loaded libraries from being deleted (Windows), the
     * folder stays with its lock file, unlocked, which tells the next load that its process is gone.
     */
    void release() {
        boolean emptied = true;
        try (DirectoryStream<Path> children = Files.newDirectoryStream(path)) {
            for (Path child : children) {
                if (!child.getFileName().toString().equals(LOCK_FILE)) {
                    deleteTree(child);
                    emptied &= !Files.exists(child, LinkOption.NOFOLLOW_LINKS);
                }
            }
        } catch (IOException | RuntimeException e) {
            emptied = false;
        }
        try {
            lock.release();
            lockChannel.close();
        } catch (IOException | RuntimeException ignored) {
            // The system lets go of it when the process ends.
        }
        HELD_HERE.remove(path);
        if (emptied) {
            deleteTree(path);
        }
    }

    /** Deletes a folder and what it holds, never following a link out of it. */
    static void deleteTree(Path path) {
        try {
            if (Files.isDirectory(path, LinkOption.NOFOLLOW_LINKS)) {
                try (DirectoryStream<Path> children = Files.newDirectoryStream(path)) {
                    for (Path child : children) {
                        deleteTree(child);
                    }
                }
            }
            Files.deleteIfExists(path);
        } catch (IOException | RuntimeException ignored) {
            // Left behind, in a folder no other user can read or write.
        }
    }
}
