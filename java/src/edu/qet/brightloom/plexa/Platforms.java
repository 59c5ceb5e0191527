package edu.qet.brightloom.plexa;

import java.util.Locale;

/** Names of platforms as the jar's native folders carry them: {@code <os>-<arch>}, such as {@code linux-x86_64}. */
final class Platforms {
    private Platforms() {
    }

    /** The platform this VM runs on. */
    static String running() {
        return name(System.getProperty("os.name", ""), System.getProperty("os.arch", ""));
    }

    static String name(String osName, String osArch) {
        return os(osName.toLowerCase(Locale.ROOT)) + "-" + arch(osArch.toLowerCase(Locale.ROOT));
    }

    private static String os(String os) {
        if (os.startsWith("linux")) {
            return "linux";
        }
        if (os.startsWith("windows")) {
            return "windows";
        }
        if (os.startsWith("mac") || os.startsWith("darwin")) {
            return "macos";
        }
        return os.replaceAll("[^a-z0-9]", "");
    }

    private static String arch(String arch) {
        switch (arch) {
            case "amd64":
            case "x86_64":
            case "x86-64":
                return "x86_64";
            case "aarch64":
            case "arm64":
                return "aarch64";
            case "x86":
            case "i386":
            case "i486":
            case "i586":
            case "i686":
                return "x86";
            default:
                return arch.replaceAll("[^a-z0-9_]", "");
        }
    }
}
