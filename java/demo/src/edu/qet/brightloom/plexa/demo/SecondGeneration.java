package edu.qet.brightloom.plexa.demo;

import edu.qet.brightloom.plexa.Plexa2;
import java.awt.image.BufferedImage;
import java.util.LinkedHashMap;
import java.util.Map;

/** A second-generation session with every stream, both mappings and bodies. */
final class SecondGeneration extends Plexa2 {
    static final int FLAGS = COLOR | INFRARED | LONG_EXPOSURE_INFRARED | DEPTH | BODY_INDEX | BODY | UV | XYZ
            | BODY_POSITIONS | BODY_ORIENTATIONS | BODY_JOINT_STATES;

    final StreamStats frameStats = new StreamStats("second generation multi-source frame");
    final StreamStats colorStats = new StreamStats("second generation color");
    final StreamStats depthStats = new StreamStats("second generation depth");
    final StreamStats infraredStats = new StreamStats("second generation infrared");
    final StreamStats longExposureStats = new StreamStats("second generation long-exposure infrared");
    final StreamStats bodyIndexStats = new StreamStats("second generation body index");
    final StreamStats bodyStats = new StreamStats("second generation bodies");

    private int colorWidth;
    private int colorHeight;
    private int depthWidth;
    private int depthHeight;
    private int infraredWidth;
    private int infraredHeight;
    private int longExposureWidth;
    private int longExposureHeight;
    private float[] intrinsics;
    private final Map<Integer, Object> latest = new LinkedHashMap<>();

    @Override
    public void onFrameEventFromNative(int[] types, Object[] frames) {
        synchronized (this) {
            for (int i = 0; i < types.length; i++) {
                latest.put(types[i], frames[i]);
            }
        }
        frameStats.frameArrived();
        for (int type : types) {
            StreamStats stats = statsOf(type);
            if (stats != null) {
                stats.frameArrived();
            }
        }
    }

    private StreamStats statsOf(int type) {
        switch (type) {
            case COLOR: return colorStats;
            case DEPTH: return depthStats;
            case INFRARED: return infraredStats;
            case LONG_EXPOSURE_INFRARED: return longExposureStats;
            case BODY_INDEX: return bodyIndexStats;
            case BODY: return bodyStats;
            default: return null;
        }
    }

    StreamStats[] allStats() {
        return new StreamStats[] {frameStats, colorStats, depthStats, infraredStats, longExposureStats,
            bodyIndexStats, bodyStats};
    }

    @Override
    public synchronized void setDepthCameraIntrinsics(float fx, float fy, float cx, float cy, float k2, float k4,
            float k6) {
        intrinsics = new float[] {fx, fy, cx, cy, k2, k4, k6};
    }

    @Override
    public synchronized void setColorResolution(int width, int height) {
        colorWidth = width;
        colorHeight = height;
    }

    @Override
    public synchronized void setDepthResolution(int width, int height) {
        depthWidth = width;
        depthHeight = height;
    }

    @Override
    public synchronized void setInfraredResolution(int width, int height) {
        infraredWidth = width;
        infraredHeight = height;
    }

    @Override
    public synchronized void setLongExposureInfraredResolution(int width, int height) {
        longExposureWidth = width;
        longExposureHeight = height;
    }

    synchronized boolean mappingsSeen() {
        return latest.containsKey(UV) && latest.containsKey(XYZ);
    }

    synchronized float[] intrinsics() {
        return intrinsics;
    }

    /** The latest picture of each image stream; bodies drawn over depth and body index. */
    synchronized Map<String, BufferedImage> pictures() {
        Map<String, BufferedImage> pictures = new LinkedHashMap<>();
        Object color = latest.get(COLOR);
        if (color instanceof byte[] && colorWidth > 0 && ((byte[]) color).length > 0) {
            pictures.put("gen2-color", Images.bgra((byte[]) color, colorWidth, colorHeight));
        }
        Object depth = latest.get(DEPTH);
        if (depth instanceof short[] && depthWidth > 0 && ((short[]) depth).length > 0) {
            pictures.put("gen2-depth", overlay(Images.depthFalseColour((short[]) depth, depthWidth, depthHeight, 0)));
        }
        Object infrared = latest.get(INFRARED);
        if (infrared instanceof short[] && infraredWidth > 0 && ((short[]) infrared).length > 0) {
            pictures.put("gen2-infrared", Images.grey16((short[]) infrared, infraredWidth, infraredHeight));
        }
        Object longExposure = latest.get(LONG_EXPOSURE_INFRARED);
        if (longExposure instanceof short[] && longExposureWidth > 0 && ((short[]) longExposure).length > 0) {
            pictures.put("gen2-long-exposure-infrared",
                    Images.grey16((short[]) longExposure, longExposureWidth, longExposureHeight));
        }
        Object bodyIndex = latest.get(BODY_INDEX);
        if (bodyIndex instanceof byte[] && depthWidth > 0 && ((byte[]) bodyIndex).length == depthWidth * depthHeight) {
            pictures.put("gen2-body-index", overlay(Images.bodyIndex((byte[]) bodyIndex, depthWidth, depthHeight)));
        }
        return pictures;
    }

    private BufferedImage overlay(BufferedImage image) {
        Object tracked = latest.get(BODY);
        Object positions = latest.get(BODY_POSITIONS);
        if (!(tracked instanceof boolean[]) || !(positions instanceof float[]) || intrinsics == null) {
            return image;
        }
        boolean[] flags = (boolean[]) tracked;
        for (int slot = 0; slot < flags.length; slot++) {
            if (flags[slot]) {
                Images.drawSkeleton(image, (float[]) positions, 4 + 75 * slot, 25, Images.BONES_25, intrinsics[0],
                        intrinsics[1], intrinsics[2], intrinsics[3], Images.bodyColour(slot));
            }
        }
        return image;
    }
}
