package edu.qet.brightloom.plexa;

/**
 * The second-generation depth sensor. Loads {@code qbl_plexa2_64bit} and declares its
 * native methods; a program extends this class, overrides the callbacks and passes an
 * instance to {@link #_startNUI}. Each multi-source frame arrives as one call of
 * {@link #onFrameEventFromNative} with a list of frame-type codes and one array per code.
 */
public class Plexa2 {
    static {
        System.loadLibrary("qbl_plexa2_64bit");
    }

    /** Stream-selection bits of {@link #_startNUI}, equal to the frame-type codes they ask for. */
    public static final int COLOR = 0x1;
    public static final int INFRARED = 0x2;
    public static final int LONG_EXPOSURE_INFRARED = 0x4;
    public static final int DEPTH = 0x8;
    public static final int BODY_INDEX = 0x10;
    public static final int BODY = 0x20;
    public static final int AUDIO = 0x40;
    public static final int UV = 0x100;
    public static final int BODY_POSITIONS = 0x200;
    public static final int BODY_ORIENTATIONS = 0x400;
    public static final int BODY_JOINT_STATES = 0x800;
    public static final int XYZ = 0x1000;

    public static native boolean _createNUI(int index);

    public static native int _startNUI(int flags, Plexa2 callbackTarget, int index);

    public static native void _stopNUI(int index);

    public static native long _getFrameCounter(int index);

    public static native void _computeUV(boolean on, int index);

    public static native void _computeXYZ(boolean on, int index);

    public static native int _getSensorCount();

    public static native int _getStatus(int index);

    public static native boolean _saveDepthFrames(String fileName, int index);

    public static native int _closeDepthFile(int index);

    public static native boolean _startSkeletonTracking(boolean seated, int index);

    public static native boolean _stopSkeletonTracking(int index);

    /** One multi-source frame: frames[i] is the array of the entry whose code is types[i]. */
    public void onFrameEventFromNative(int[] types, Object[] frames) {
    }

    /** Depth camera: focal lengths, principal point, radial distortion of order 2, 4 and 6. */
    public void setDepthCameraIntrinsics(float focalLengthX, float focalLengthY, float principalPointX,
            float principalPointY, float radialDistortionSecondOrder, float radialDistortionFourthOrder,
            float radialDistortionSixthOrder) {
    }

    public void setColorResolution(int width, int height) {
    }

    public void setDepthResolution(int width, int height) {
    }

    public void setInfraredResolution(int width, int height) {
    }

    public void setLongExposureInfraredResolution(int width, int height) {
    }
}
