package edu.qet.brightloom.plexa;

/**
 * First-generation depth sensors (up to ten, by index 0 to 9).
 *
 * <p>A program extends this class, overrides the callbacks it wants, creates a sensor's session
 * with {@link #_createNUI} and starts it with {@link #_startNUI}, passing an instance of the
 * subclass. From then on every frame of every requested stream reaches that instance through
 * its callback, as freshly created arrays the callback may keep. Callbacks arrive on a thread that
 * the library owns, one per started sensor: one sensor's callbacks come one at a time, in the order
 * the frames arrived; different sensors' callbacks may run at the same time. A callback that throws
 * has its exception printed to the error stream, and the next frame still arrives.
 *
 * <p>Loading this class loads the native library {@code qbl_plexa_64bit}: from
 * {@code java.library.path} when it is found there, otherwise from the jar (see the package
 * description). Methods that take a sensor index and find no session with a sensor there do
 * nothing and answer as documented for each (a zero, false or a status code).
 *
 * <p>Depth and video images are {@code W x H} pixels as chosen by a resolution code
 * ({@link #RESOLUTION_80x60} to {@link #RESOLUTION_1280x960}); pixel {@code p} is column
 * {@code p % W} of row {@code p / W}, row 0 at the top of the image.
 */
public class Plexa1 {
    static {
        NativeLibraries.load("qbl_plexa_64bit");
    }

    /** Resolution code: no stream. */
    public static final int RESOLUTION_NONE = -1;
    /** Resolution code: 80 x 60 pixels. */
    public static final int RESOLUTION_80x60 = 0;
    /** Resolution code: 320 x 240 pixels. */
    public static final int RESOLUTION_320x240 = 1;
    /** Resolution code: 640 x 480 pixels. */
    public static final int RESOLUTION_640x480 = 2;
    /** Resolution code: 1280 x 960 pixels. */
    public static final int RESOLUTION_1280x960 = 3;

    /** For subclasses, whose instances receive the frames of a started sensor. */
    public Plexa1() {
    }

    /**
     * Creates a session for a sensor, not yet started. The first call in a process prints the
     * library's welcome banner to standard output. A session the index already had is stopped
     * first, as by {@link #_stopNUI}.
     *
     * @param index the sensor index, 0 to 9
     * @return true when the session holds a sensor; false for an index outside 0 to 9 or when no
     *     sensor is connected at that index
     */
    public static native boolean _createNUI(int index);

    /**
     * Starts a sensor: opens the requested streams and starts the thread that delivers their
     * frames to {@code callbackTarget}. The sensor gets a fresh session; one it already had is
     * stopped first, as by {@link #_stopNUI}, and its callback object receives nothing more once
     * this method returns (unless it is called from inside one of that object's callbacks; that stop
     * then finishes right after the callback returns). UV and XYZ start switched off
     * ({@link #_computeUV}, {@link #_computeXYZ}).
     *
     * <p>The callbacks are looked up in this class for the streams asked for:
     * {@link #onDepthFrameEventFromNative} with a depth stream, {@link #onVideoFrameEventFromNative}
     * and {@link #onInfraredFrameEventFromNative} with a video stream, and
     * {@link #onSkeletonFrameEventFromNative} with skeleton tracking. When the start-up fails, a
     * message with the failure code is printed to standard output.
     *
     * @param skeleton true to track skeletons (delivered to {@link #onSkeletonFrameEventFromNative})
     * @param depthResolution resolution code of the depth stream, or {@link #RESOLUTION_NONE}
     * @param videoResolution resolution code of the video stream, or {@link #RESOLUTION_NONE}
     * @param infrared true to open the video stream as infrared
     *     ({@link #onInfraredFrameEventFromNative}), false for color ({@link #onVideoFrameEventFromNative})
     * @param callbackTarget the object whose callbacks receive the frames; the library holds it
     *     until the session's thread has ended
     * @param index the sensor index, 0 to 9
     * @return a status code: 0 when the sensor started (1: it started and is still initialising);
     *     also 0, with nothing started, for an index outside 0 to 9 or when no sensor is connected at
     *     that index (so check {@link #_createNUI} first); otherwise the failure's status code, as
     *     {@link #_getStatus} gives them
     */
    public static native int _startNUI(boolean skeleton, int depthResolution, int videoResolution,
            boolean infrared, Plexa1 callbackTarget, int index);

    /**
     * Stops a started sensor: its thread ends (after a callback that is running has returned), its
     * streams are closed, and its callback object receives nothing more. Called from inside one of
     * the sensor's own callbacks, the stop finishes right after that callback returns. The frame
     * counters keep their last values; an open depth recording stays open until
     * {@link #_closeDepthFile}.
     *
     * @param index the sensor index
     */
    public static native void _stopNUI(int index);

    /**
     * Skeleton frames handled since the sensor was started, including frames in which no skeleton
     * was tracked (those reach no callback).
     *
     * @param index the sensor index
     * @return the count; 0 when the index has no session with a sensor
     */
    public static native long _getSkeletonFrameCounter(int index);

    /**
     * Color or infrared frames handled since the sensor was started.
     *
     * @param index the sensor index
     * @return the count; 0 when the index has no session with a sensor
     */
    public static native long _getVideoFrameCounter(int index);

    /**
     * Depth frames handled since the sensor was started.
     *
     * @param index the sensor index
     * @return the count; 0 when the index has no session with a sensor
     */
    public static native long _getDepthFrameCounter(int index);

    /**
     * Tilts the sensor.
     *
     * @param angle the elevation in degrees above the horizontal, -27 to 27
     * @param index the sensor index
     * @return the sensor's result code: 0 or more on success, negative on failure (an angle out of
     *     range, or no sensor at the index)
     */
    public static native int _setElevationAngle(int angle, int index);

    /**
     * The sensor's tilt.
     *
     * @param index the sensor index
     * @return the elevation in degrees above the horizontal; 0 when the index has no session with a sensor
     */
    public static native long _getElevationAngle(int index);

    /**
     * Switches the depth stream's near mode, which measures closer objects.
     *
     * @param on true for near mode
     * @param index the sensor index
     * @return true when the sensor accepted the setting; false on failure and when the index has
     *     no session with a sensor
     */
    public static native boolean _setNearMode(boolean on, int index);

    /**
     * Whether the depth stream is in near mode.
     *
     * @param index the sensor index
     * @return true in near mode; false otherwise and when the index has no session with a sensor
     */
    public static native boolean _getNearMode(int index);

    /**
     * Stops skeleton tracking; no more skeleton frames arrive.
     *
     * @param index the sensor index
     * @return true when the sensor accepted it; false on failure
     */
    public static native boolean _stopSkeletonTracking(int index);

    /**
     * Starts skeleton tracking on a started sensor. Its frames reach
     * {@link #onSkeletonFrameEventFromNative} only when the sensor was started with skeleton
     * tracking.
     *
     * @param seated true to track seated people (upper body), false for standing people
     * @param index the sensor index
     * @return true when the sensor accepted it; false on failure
     */
    public static native boolean _startSkeletonTracking(boolean seated, int index);

    /**
     * The number of connected first-generation sensors. May be called before any other method.
     *
     * @return the count; 0 when it cannot be determined
     */
    public static native int _getSensorCount();

    /**
     * The sensor's status.
     *
     * @param index the sensor index
     * @return 0 when the sensor works; otherwise a status code: 1 still initialising, 2 stream not
     *     enabled, 3 stream already in use, 4 frame limit exceeded, 5 feature not initialised,
     *     6 device not genuine, 7 insufficient bandwidth, 8 not supported, 9 device in use,
     *     13 database not found, 14 database version mismatch, 15 hardware feature unavailable,
     *     20 not connected (also when the index has no session with a sensor), 21 not ready,
     *     170 skeletal engine busy, 639 not powered, 1413 bad index; any other failure as the
     *     sensor's negative result code
     */
    public static native int _getStatus(int index);

    /**
     * The sensor's accelerometer: the direction of gravity in the sensor's frame, in units of
     * gravity (a level sensor reads about (0, -1, 0)).
     *
     * @param index the sensor index
     * @return a new array of 3: element 0 x, 1 y, 2 z; zeros when the index has no session with a
     *     sensor or the reading fails
     */
    public static native float[] _getAccelerometerReading(int index);

    /**
     * Records the started sensor's depth frames into a file, from the next depth frame on, until
     * {@link #_closeDepthFile} (or another call of this method, which closes the earlier file with
     * everything written to it). The file, little-endian: the depth width and height as two 16-bit
     * values (0 and 0 without a depth stream), then per depth frame a record of the accelerometer's
     * x, y and z as three 32-bit floats and the frame's {@code W x H} samples as 16-bit values, as
     * {@link #onDepthFrameEventFromNative} receives them. After a failed write nothing more is
     * appended, so the file never holds a record behind a partial one.
     *
     * @param fileName the file to create (or replace); any Unicode name
     * @param index the sensor index
     * @return true when the file was created and its header written; false, with no file created
     *     and an open recording closed, for a name that cannot be created (a folder, a missing
     *     folder, a file that cannot be written, a name holding a NUL character or an unpaired
     *     surrogate) and when the index has no session with a sensor
     */
    public static native boolean _saveDepthFrames(String fileName, int index);

    /**
     * Ends the depth recording; the file keeps every record written.
     *
     * @param index the sensor index
     * @return true when the file was closed with everything written to it; false when a write or
     *     the close failed, when no recording was open, and when the index has no session with a sensor
     */
    public static native boolean _closeDepthFile(int index);

    /**
     * Switches the UV array of {@link #onDepthFrameEventFromNative} on or off, from the next depth
     * frame on. Off when a sensor starts.
     *
     * @param on true to deliver UV
     * @param index the sensor index
     */
    public static native void _computeUV(boolean on, int index);

    /**
     * Switches the XYZ array of {@link #onDepthFrameEventFromNative} on or off, from the next depth
     * frame on. Off when a sensor starts.
     *
     * @param on true to deliver XYZ
     * @param index the sensor index
     */
    public static native void _computeXYZ(boolean on, int index);

    /**
     * Receives one depth frame, on the sensor's thread. Does nothing unless overridden.
     *
     * @param depth {@code W x H} samples, pixel 0 first; each sample holds the depth in
     *     millimetres in bits 15 to 3 ({@code (depth[p] & 0xFFFF) >> 3}, 0 for no reading) and the
     *     player index in bits 2 to 0 ({@code depth[p] & 7}, 0 for no player)
     * @param xyz the camera-space point of each pixel, in metres, or null while XYZ is off:
     *     {@code 3 x W x H} floats, pixel p's x, y, z at {@code 3p}, {@code 3p + 1}, {@code 3p + 2};
     *     x grows to the right of the image, y upwards, z away from the sensor (z is the depth); a
     *     pixel without a reading gives (0, 0, 0)
     * @param uv the position of each pixel in the color image, normalised to 0 to 1 of its width
     *     and height, or null while UV is off: {@code 2 x W x H} floats, pixel p's u at {@code 2p}
     *     and v at {@code 2p + 1}; positions outside the color image give values outside 0 to 1
     */
    public void onDepthFrameEventFromNative(short[] depth, float[] xyz, float[] uv) {
    }

    /**
     * Receives one color frame, on the sensor's thread. Does nothing unless overridden.
     *
     * @param bgrx {@code 4 x W x H} bytes: pixel p's blue, green and red at {@code 4p},
     *     {@code 4p + 1}, {@code 4p + 2}, and an unused byte at {@code 4p + 3}
     */
    public void onVideoFrameEventFromNative(byte[] bgrx) {
    }

    /**
     * Receives one infrared frame, on the sensor's thread. Does nothing unless overridden.
     *
     * @param infrared {@code W x H} unsigned 16-bit intensities ({@code infrared[p] & 0xFFFF}),
     *     pixel 0 first
     */
    public void onInfraredFrameEventFromNative(short[] infrared) {
    }

    /**
     * Receives one skeleton frame in which at least one skeleton is tracked, on the sensor's
     * thread. There are 6 skeleton slots s (0 to 5) of 20 joints j (0 to 19, in the sensor's joint
     * order: 0 hip centre, 1 spine, 2 shoulder centre, 3 head, 4 to 7 left shoulder, elbow, wrist,
     * hand, 8 to 11 the same on the right, 12 to 15 left hip, knee, ankle, foot, 16 to 19 the same
     * on the right). The positions and states of a slot that is not tracked in this frame are left
     * as the last frame that tracked it wrote them (zeros before that). Does nothing unless
     * overridden.
     *
     * @param tracked 6 flags: slot s holds a tracked skeleton in this frame
     * @param positions 364 floats: the floor plane (a, b, c, d of {@code ax + by + cz + d = 0}, in
     *     metres) at 0 to 3, then joint j of slot s at {@code 4 + 60s + 3j} (x), {@code +1} (y),
     *     {@code +2} (z), in metres in camera space, smoothed
     * @param states 120 bytes: the tracking state of joint j of slot s at {@code 20s + j}: 0 not
     *     tracked, 1 inferred, 2 tracked
     */
    public void onSkeletonFrameEventFromNative(boolean[] tracked, float[] positions, byte[] states) {
    }
}
