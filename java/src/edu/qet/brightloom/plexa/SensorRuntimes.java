package edu.qet.brightloom.plexa;

import java.util.Set;

/**
 * Which sensor runtime a bridge binds to where the system may have one installed (Windows). The
 * installed runtime wins: it drives real sensors. Without one, the jar's virtual runtime is loaded
 * first, by full path, and the bridge's import binds to that loaded module of the same name.
 * {@code -Dplexa.runtime=vendor} or {@code virtual} forces the choice.
 */
final class SensorRuntimes {
    static final String PROPERTY = "plexa.runtime";
    static final String VENDOR = "vendor";
    static final String VIRTUAL = "virtual";

    private final NativeSystem system;

    SensorRuntimes(NativeSystem system) {
        this.system = system;
    }

    /** What a user installs to get the named runtime. */
    static String installHint(String name) {
        if (name.equals("Kinect10")) {
            return "the Kinect for Windows Runtime v1.8";
        }
        if (name.equals("Kinect20")) {
            return "the Kinect for Windows Runtime v2.0";
        }
        return "the sensor's runtime";
    }

    void bind(String name, ExtractedNatives jar, Set<String> loaded) {
        if (loaded.contains(name)) {
            return;
        }
        String choice = system.property(PROPERTY);
        if (choice != null && !choice.equals(VENDOR) && !choice.equals(VIRTUAL)) {
            throw NativeLoader.linkError(PROPERTY + " is \"" + choice + "\"; it takes " + VENDOR + " (the installed "
                    + "sensor runtime) or " + VIRTUAL + " (the virtual sensor), or is left unset", null);
        }
        String file = jar.fileOf(name);
        String why;
        if (VIRTUAL.equals(choice)) {
            why = "because " + PROPERTY + "=" + VIRTUAL;
        } else {
            String installed = system.findInstalled(file);
            if (installed == null) {
                if (VENDOR.equals(choice)) {
                    throw NativeLoader.linkError("Plexa was asked for the installed sensor runtime (" + PROPERTY + "="
                            + VENDOR + "), but " + file + " is not installed (not in the system folder nor on PATH):"
                            + " install " + installHint(name) + ", or leave " + PROPERTY
                            + " unset to use the virtual sensor", null);
                }
                why = "because no sensor runtime is installed (" + file + ", " + installHint(name) + ")";
            } else {
                try {
                    system.load(installed);
                    loaded.add(name);
                    return;
                } catch (UnsatisfiedLinkError e) {
                    if (VENDOR.equals(choice)) {
                        throw NativeLoader.linkError("Plexa cannot load the installed sensor runtime " + installed
                                + " (" + PROPERTY + "=" + VENDOR + "): " + e.getMessage() + "; reinstall "
                                + installHint(name), e);
                    }
                    why = "because the installed sensor runtime " + installed + " cannot be loaded (" + e.getMessage() + ")";
                }
            }
        }
        jar.load(name, loaded);
        system.say("Plexa: the virtual sensor (" + file + " from the Plexa jar) is in use " + why + ".");
    }
}
