package edu.qet.brightloom.plexa;

/**
 * First-generation depth sensors. Loads {@code qbl_plexa_64bit} and declares its native
 * methods; a program extends this class and overrides the callbacks it wants, then passes
 * an instance to {@link #_startNUI}. Callbacks arrive on a thread owned by the library,
 * one at a time per sensor, with freshly created arrays.
 */
public class Plexa1 {
    static {
        System.loadLibrary("qbl_plexa_64bit");
    }

    /** Resolution codes: none, 80 x 60, 320 x 240, 640 x 480, 1280 x 960. */
    public static final int RESOLUTION_NONE = -1;
    public static final int RESOLUTION_80x60 = 0;
    public static final int RESOLUTION_320x240 = 1;
    public static final int RESOLUTION_640x480 = 2;
    public static final int RESOLUTION_1280x960 = 3;

    public static native boolean _createNUI(int index);

    public static native int _startNUI(boolean skeleton, int depthResolution, int videoResolution,
            boolean infrared, Plexa1 callbackTarget, int index);

    public static native void _stopNUI(int index);

    public static native long _getSkeletonFrameCounter(int index);

    public static native long _getVideoFrameCounter(int index);

    public static native long _getDepthFrameCounter(int index);

    public static native int _setElevationAngle(int angle, int index);

    public static native long _getElevationAngle(int index);

    public static native boolean _setNearMode(boolean on, int index);

    public static native boolean _getNearMode(int index);

    public static native boolean _stopSkeletonTracking(int index);

    public static native boolean _startSkeletonTracking(boolean seated, int index);

    public static native int _getSensorCount();

    public static native int _getStatus(int index);

    public static native float[] _getAccelerometerReading(int index);

    public static native boolean _saveDepthFrames(String fileName, int index);

    public static native boolean _closeDepthFile(int index);

    public static native void _computeUV(boolean on, int index);

    public static native void _computeXYZ(boolean on, int index);

    /** Depth samples (mm << 3 | player), and on request camera-space points and color coordinates. */
    public void onDepthFrameEventFromNative(short[] depth, float[] xyz, float[] uv) {
    }

    /** A color image, 4 bytes per pixel (blue, green, red, unused). */
    public void onVideoFrameEventFromNative(byte[] bgrx) {
    }

    /** An infrared image, one 16-bit sample per pixel. */
    public void onInfraredFrameEventFromNative(short[] infrared) {
    }

    /** Tracked flags of 6 slots; floor plane then 6 x 20 joints x (x, y, z); 6 x 20 joint states. */
    public void onSkeletonFrameEventFromNative(boolean[] tracked, float[] positions, byte[] states) {
    }
}
