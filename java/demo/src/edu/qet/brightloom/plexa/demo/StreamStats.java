package edu.qet.brightloom.plexa.demo;

/** Arrival times of one stream's frames: count, rate and the spread of the intervals. */
final class StreamStats {
    private final String name;
    private long frames;
    private long firstNanos;
    private long lastNanos;
    private double intervalSum;
    private double intervalSquares;
    private double intervalMin = Double.MAX_VALUE;
    private double intervalMax;

    StreamStats(String name) {
        this.name = name;
    }

    synchronized void frameArrived() {
        long now = System.nanoTime();
        if (frames == 0) {
            firstNanos = now;
        } else {
            double interval = (now - lastNanos) / 1e6;
            intervalSum += interval;
            intervalSquares += interval * interval;
            intervalMin = Math.min(intervalMin, interval);
            intervalMax = Math.max(intervalMax, interval);
        }
        lastNanos = now;
        frames++;
    }

    String name() {
        return name;
    }

    synchronized long frames() {
        return frames;
    }

    /** Frames per second between the first and the last frame. */
    synchronized double rate() {
        if (frames < 2) {
            return 0.0;
        }
        return (frames - 1) / ((lastNanos - firstNanos) / 1e9);
    }

    /** One line: the name in a column {@code nameWidth} wide (wider when the name is), count, rate, intervals. */
    synchronized String summary(int nameWidth) {
        String column = String.format("%-" + Math.max(1, nameWidth) + "s", name);
        if (frames < 2) {
            return String.format("%s %6d frames", column, frames);
        }
        long intervals = frames - 1;
        double mean = intervalSum / intervals;
        double deviation = Math.sqrt(Math.max(0.0, intervalSquares / intervals - mean * mean));
        return String.format("%s %6d frames %6.1f fps  interval %5.1f ms (min %5.1f, max %5.1f, sd %4.1f)",
                column, frames, rate(), mean, intervalMin, intervalMax, deviation);
    }
}
