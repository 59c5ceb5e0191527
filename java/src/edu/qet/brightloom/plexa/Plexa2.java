package edu.qet.brightloom.plexa;

/**
 * The second-generation depth sensor (sensor index 0).
 *
 * <p>A program extends this class, overrides the callbacks it wants, and starts the sensor with
 * {@link #_startNUI}, choosing streams with a flags word of the constants below and passing an
 * instance of the subclass. Each multi-source frame then arrives as one call of
 * {@link #onFrameEventFromNative}: a list of frame-type codes and, at the same positions, one
 * freshly created array per code, which the callback may keep. Entries come in this order, those
 * not asked for left out: {@link #COLOR}, {@link #DEPTH}, {@link #UV}, {@link #XYZ},
 * {@link #BODY_INDEX}, {@link #INFRARED}, {@link #LONG_EXPOSURE_INFRARED}, then, only in frames in
 * which at least one body is tracked, {@link #BODY}, {@link #BODY_POSITIONS},
 * {@link #BODY_ORIENTATIONS} and {@link #BODY_JOINT_STATES} together.
 *
 * <p>Every callback of a sensor arrives on one thread that the library owns, one at a time: for
 * each frame, first the size reports of the image streams whose size changed (the first frame
 * reports every image stream it holds: {@link #setColorResolution}, {@link #setDepthResolution},
 * {@link #setInfraredResolution}, {@link #setLongExposureInfraredResolution}, in the order of the
 * entries), then, once per started session, {@link #setDepthCameraIntrinsics}, then
 * {@link #onFrameEventFromNative}. A callback that throws has its exception printed to the error
 * stream, and the next frame still arrives.
 *
 * <p>Images are row after row from the top, pixel 0 first; pixel {@code p} of a {@code W x H}
 * image is column {@code p % W} of row {@code p / W}. The sensor's color images are 1920 x 1080, its
 * depth, body-index and infrared images 512 x 424.
 *
 * <p>Loading this class loads the native library {@code qbl_plexa2_64bit}: from
 * {@code java.library.path} when it is found there, otherwise from the jar (see the package
 * description).
 */
public class Plexa2 {
    static {
        NativeLibraries.load("qbl_plexa2_64bit");
    }

    /**
     * Flag and frame-type code 1, color: a {@code byte[]} of {@code 4 x W x H}, pixel p's blue,
     * green, red and alpha at {@code 4p} to {@code 4p + 3}.
     */
    public static final int COLOR = 0x1;
    /**
     * Flag and frame-type code 2, infrared: a {@code short[]} of {@code W x H} unsigned 16-bit
     * intensities ({@code infrared[p] & 0xFFFF}).
     */
    public static final int INFRARED = 0x2;
    /**
     * Flag and frame-type code 4, long-exposure infrared: a {@code short[]} of {@code W x H}
     * unsigned 16-bit intensities.
     */
    public static final int LONG_EXPOSURE_INFRARED = 0x4;
    /**
     * Flag and frame-type code 8, depth: a {@code short[]} of {@code W x H} depths in millimetres
     * ({@code depth[p] & 0xFFFF}; 0 for no reading).
     */
    public static final int DEPTH = 0x8;
    /**
     * Flag and frame-type code 16, body index: a {@code byte[]} of {@code W x H} (depth image
     * size), pixel p's body slot 0 to 5 ({@code index[p] & 0xFF}), or 255 where no body is.
     * No size report comes for it.
     */
    public static final int BODY_INDEX = 0x10;
    /**
     * Flag and frame-type code 32, bodies: a {@code boolean[]} of 6, element i true when body slot i
     * holds a tracked body in this frame. As a flag, asks for all four body entries (as
     * {@link #BODY_POSITIONS}, {@link #BODY_ORIENTATIONS} and {@link #BODY_JOINT_STATES} do), which
     * come only in frames in which a body is tracked. A body has 25 joints j in the sensor's joint
     * order: 0 spine base, 1 spine middle, 2 neck, 3 head, 4 to 7 left shoulder, elbow, wrist, hand,
     * 8 to 11 the same on the right, 12 to 15 left hip, knee, ankle, foot, 16 to 19 the same on the
     * right, 20 spine at the shoulders, 21 left hand tip, 22 left thumb, 23 right hand tip, 24 right
     * thumb. The entries of a slot that is not tracked in a frame hold what the last frame that
     * tracked it gave.
     */
    public static final int BODY = 0x20;
    /** Flag 0x40: opens the sensor's audio source as well; no entry carries audio. */
    public static final int AUDIO = 0x40;
    /**
     * Flag and frame-type code 256, with {@link #DEPTH}: a {@code float[]} of {@code 2 x W x H}
     * (depth image size), the position of depth pixel p in the color image, divided by the color
     * image's 1920 x 1080: x at {@code 2p}, y at {@code 2p + 1}. Pixels that fall outside the color
     * image give values outside 0 to 1; a pixel without a reading gives negative infinity. Can be
     * switched later with {@link #_computeUV}.
     */
    public static final int UV = 0x100;
    /**
     * Flag and frame-type code 512, body positions: a {@code float[]} of 454: the floor plane
     * (a, b, c, d of {@code ax + by + cz + d = 0}, in metres) at 0 to 3, then joint j of body slot i
     * at {@code 4 + 75i + 3j} (x), {@code +1} (y), {@code +2} (z), in metres in camera space.
     * As a flag, asks for all four body entries (see {@link #BODY}).
     */
    public static final int BODY_POSITIONS = 0x200;
    /**
     * Flag and frame-type code 1024, body orientations: a {@code float[]} of 600, the orientation
     * of joint j of body slot i as a quaternion x, y, z, w at {@code 100i + 4j} to
     * {@code 100i + 4j + 3}. As a flag, asks for all four body entries (see {@link #BODY}).
     */
    public static final int BODY_ORIENTATIONS = 0x400;
    /**
     * Flag and frame-type code 2048, joint states: a {@code byte[]} of 150, the tracking state of
     * joint j of body slot i at {@code 25i + j}: 0 not tracked, 1 inferred, 2 tracked. As a flag,
     * asks for all four body entries (see {@link #BODY}).
     */
    public static final int BODY_JOINT_STATES = 0x800;
    /**
     * Flag and frame-type code 4096, with {@link #DEPTH}: a {@code float[]} of {@code 3 x W x H}
     * (depth image size), depth pixel p's point in camera space in metres: x at {@code 3p}, y at
     * {@code 3p + 1}, z at {@code 3p + 2}; x grows to the right of the image, y upwards, z away from
     * the sensor. A pixel without a reading gives negative infinity in all three. Can be switched
     * later with {@link #_computeXYZ}.
     */
    public static final int XYZ = 0x1000;

    /** For subclasses, whose instances receive the frames of the started sensor. */
    public Plexa2() {
    }

    /**
     * Creates the sensor's session, not yet started. The first call in a process prints the
     * library's welcome banner to standard output. A session the index already had is stopped
     * first, as by {@link #_stopNUI}.
     *
     * @param index the sensor index; only 0 has a sensor
     * @return true when the session holds the sensor; false for any index but 0 and when no sensor
     *     is connected
     */
    public static native boolean _createNUI(int index);

    /**
     * Starts the sensor: opens the streams the flags ask for and starts the thread that delivers
     * their frames to {@code callbackTarget}. The sensor gets a fresh session; one it already had is
     * stopped first, as by {@link #_stopNUI}, and its callback object receives nothing more once
     * this method returns (unless it is called from inside one of that object's callbacks; that stop
     * then finishes right after the callback returns). When the start-up fails, a message with the
     * failure code is printed to standard output.
     *
     * @param flags the streams and mappings wanted: an or of {@link #COLOR}, {@link #INFRARED},
     *     {@link #LONG_EXPOSURE_INFRARED}, {@link #DEPTH}, {@link #BODY_INDEX}, {@link #BODY} (or any
     *     of {@link #BODY_POSITIONS}, {@link #BODY_ORIENTATIONS}, {@link #BODY_JOINT_STATES}),
     *     {@link #AUDIO}, {@link #UV}, {@link #XYZ}; other bits are ignored
     * @param callbackTarget the object whose callbacks receive the frames; the library holds it
     *     until the session's thread has ended
     * @param index the sensor index, 0
     * @return 0 or more when the sensor started; 0 also, with nothing started, for any index but 0
     *     and when no sensor is connected (so check {@link #_createNUI} first); -1, with nothing
     *     started and a {@link NoSuchMethodError} thrown, when the class lacks one of the callbacks;
     *     the sensor's negative result code when the start-up failed
     */
    public static native int _startNUI(int flags, Plexa2 callbackTarget, int index);

    /**
     * Stops the started sensor: its thread ends (after a callback that is running has returned),
     * its streams are closed, and its callback object receives nothing more. Called from inside
     * one of the sensor's own callbacks, the stop finishes right after that callback returns. The
     * frame counter keeps its last value.
     *
     * @param index the sensor index
     */
    public static native void _stopNUI(int index);

    /**
     * Frames delivered to {@link #onFrameEventFromNative} since the sensor was started.
     *
     * @param index the sensor index
     * @return the count; 0 when the index has no session
     */
    public static native long _getFrameCounter(int index);

    /**
     * Switches the {@link #UV} entry on or off from the next frame on (with a depth stream only).
     *
     * @param on true to deliver UV
     * @param index the sensor index
     */
    public static native void _computeUV(boolean on, int index);

    /**
     * Switches the {@link #XYZ} entry on or off from the next frame on (with a depth stream only).
     *
     * @param on true to deliver XYZ
     * @param index the sensor index
     */
    public static native void _computeXYZ(boolean on, int index);

    /**
     * The number of second-generation sensors this library serves.
     *
     * @return always 1
     */
    public static native int _getSensorCount();

    /**
     * The sensor's status; this generation reports none.
     *
     * @param index the sensor index
     * @return always 0
     */
    public static native int _getStatus(int index);

    /**
     * Depth recording, which this generation does not offer.
     *
     * @param fileName not used
     * @param index the sensor index
     * @return always false; no file is created
     */
    public static native boolean _saveDepthFrames(String fileName, int index);

    /**
     * Ends a depth recording, which this generation does not offer.
     *
     * @param index the sensor index
     * @return always 0
     */
    public static native int _closeDepthFile(int index);

    /**
     * Body tracking runs whenever the body stream is open; this method changes nothing.
     *
     * @param seated not used
     * @param index the sensor index
     * @return always false
     */
    public static native boolean _startSkeletonTracking(boolean seated, int index);

    /**
     * Body tracking runs whenever the body stream is open; this method changes nothing.
     *
     * @param index the sensor index
     * @return always false
     */
    public static native boolean _stopSkeletonTracking(int index);

    /**
     * Receives one multi-source frame, on the sensor's thread. A frame may hold no entry at all
     * (for example when only bodies are asked for and none is tracked). Does nothing unless
     * overridden.
     *
     * @param types the frame-type codes of the entries (see the constants for each array's layout)
     * @param frames {@code frames[i]} is the array of the entry whose code is {@code types[i]}; an
     *     image the sensor could not describe in this frame comes as an empty array
     */
    public void onFrameEventFromNative(int[] types, Object[] frames) {
    }

    /**
     * Receives the depth camera's intrinsics, on the sensor's thread, once per started session
     * before the first {@link #onFrameEventFromNative}. Does nothing unless overridden.
     *
     * @param focalLengthX focal length along x, in pixels of the depth image
     * @param focalLengthY focal length along y, in pixels of the depth image
     * @param principalPointX column of the principal point, in pixels
     * @param principalPointY row of the principal point, in pixels
     * @param radialDistortionSecondOrder radial distortion coefficient of second order
     * @param radialDistortionFourthOrder radial distortion coefficient of fourth order
     * @param radialDistortionSixthOrder radial distortion coefficient of sixth order
     */
    public void setDepthCameraIntrinsics(float focalLengthX, float focalLengthY, float principalPointX,
            float principalPointY, float radialDistortionSecondOrder, float radialDistortionFourthOrder,
            float radialDistortionSixthOrder) {
    }

    /**
     * Receives the color image's size when it changes (and with the first color frame), on the
     * sensor's thread, before that frame's {@link #onFrameEventFromNative}. Does nothing unless
     * overridden.
     *
     * @param width width in pixels (0 when the frame's image could not be described)
     * @param height height in pixels (0 likewise)
     */
    public void setColorResolution(int width, int height) {
    }

    /**
     * Receives the depth image's size when it changes (and with the first depth frame), on the
     * sensor's thread, before that frame's {@link #onFrameEventFromNative}; the body-index, UV and
     * XYZ entries have this size too. Does nothing unless overridden.
     *
     * @param width width in pixels (0 when the frame's image could not be described)
     * @param height height in pixels (0 likewise)
     */
    public void setDepthResolution(int width, int height) {
    }

    /**
     * Receives the infrared image's size when it changes (and with the first infrared frame), on
     * the sensor's thread, before that frame's {@link #onFrameEventFromNative}. Does nothing unless
     * overridden.
     *
     * @param width width in pixels (0 when the frame's image could not be described)
     * @param height height in pixels (0 likewise)
     */
    public void setInfraredResolution(int width, int height) {
    }

    /**
     * Receives the long-exposure infrared image's size when it changes (and with the first such
     * frame), on the sensor's thread, before that frame's {@link #onFrameEventFromNative}. Does
     * nothing unless overridden.
     *
     * @param width width in pixels (0 when the frame's image could not be described)
     * @param height height in pixels (0 likewise)
     */
    public void setLongExposureInfraredResolution(int width, int height) {
    }
}
