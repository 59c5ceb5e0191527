package edu.qet.brightloom.plexa.demo;

import edu.qet.brightloom.plexa.Plexa1;
import java.awt.image.BufferedImage;
import java.util.LinkedHashMap;
import java.util.Map;

/**
 * A first-generation session of one sensor: depth with UV and XYZ, color and skeletons, kept as the latest
 * frame of each. Alone it is "first generation" and its files "gen1-..."; one of several carries its sensor
 * index in both, so that the sensors' lines and files stay apart.
 */
final class FirstGeneration extends Plexa1 {
    static final int WIDTH = 640;
    static final int HEIGHT = 480;
    // The depth camera's pinhole at 640 x 480, as the bridge uses it for XYZ.
    private static final float FOCAL = WIDTH * 285.63f / 320.0f;
    private static final float CX = WIDTH * 0.5f - 0.5f;
    private static final float CY = HEIGHT * 0.5f - 0.5f;

    final int sensor;
    /** "first generation", or "first generation sensor N" for one of several. */
    final String name;
    final StreamStats depthStats;
    final StreamStats colorStats;
    final StreamStats skeletonStats;
    private final String filePrefix;

    private short[] depth;
    private byte[] color;
    private boolean[] tracked;
    private float[] positions;
    private boolean uvSeen;
    private boolean xyzSeen;

    /** The session of sensor {@code sensor}; {@code oneOfSeveral} when the demo streams more than one sensor. */
    FirstGeneration(int sensor, boolean oneOfSeveral) {
        this.sensor = sensor;
        name = oneOfSeveral ? "first generation sensor " + sensor : "first generation";
        filePrefix = oneOfSeveral ? "gen1-sensor" + sensor + "-" : "gen1-";
        depthStats = new StreamStats(name + " depth (with UV, XYZ)");
        colorStats = new StreamStats(name + " color");
        skeletonStats = new StreamStats(name + " skeleton");
    }

    StreamStats[] allStats() {
        return new StreamStats[] {depthStats, colorStats, skeletonStats};
    }

    /** The name of this sensor's picture or file of {@code what} ("depth", "color", ...), without extension. */
    String fileName(String what) {
        return filePrefix + what;
    }

    @Override
    public void onDepthFrameEventFromNative(short[] depth, float[] xyz, float[] uv) {
        synchronized (this) {
            this.depth = depth;
            uvSeen |= uv != null;
            xyzSeen |= xyz != null;
        }
        depthStats.frameArrived();
    }

    @Override
    public void onVideoFrameEventFromNative(byte[] bgrx) {
        synchronized (this) {
            color = bgrx;
        }
        colorStats.frameArrived();
    }

    @Override
    public void onSkeletonFrameEventFromNative(boolean[] tracked, float[] positions, byte[] states) {
        synchronized (this) {
            this.tracked = tracked;
            this.positions = positions;
        }
        skeletonStats.frameArrived();
    }

    synchronized boolean mappingsSeen() {
        return uvSeen && xyzSeen;
    }

    /** The latest picture of each stream, skeletons drawn over them. */
    synchronized Map<String, BufferedImage> pictures() {
        Map<String, BufferedImage> pictures = new LinkedHashMap<>();
        if (depth != null) {
            pictures.put(fileName("depth"), overlay(Images.depthFalseColour(depth, WIDTH, HEIGHT, 3)));
        }
        if (color != null) {
            pictures.put(fileName("color"), overlay(Images.bgra(color, WIDTH, HEIGHT)));
        }
        return pictures;
    }

    private BufferedImage overlay(BufferedImage image) {
        if (tracked == null || positions == null) {
            return image;
        }
        for (int slot = 0; slot < tracked.length; slot++) {
            if (tracked[slot]) {
                Images.drawSkeleton(image, positions, 4 + 60 * slot, 20, Images.BONES_20, FOCAL, FOCAL, CX, CY,
                        Images.bodyColour(slot));
            }
        }
        return image;
    }
}
