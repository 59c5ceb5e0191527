package edu.qet.brightloom.plexa.demo;

import java.awt.BorderLayout;
import java.awt.Color;
import java.awt.GraphicsEnvironment;
import java.awt.Rectangle;
import java.awt.event.WindowAdapter;
import java.awt.event.WindowEvent;
import java.awt.image.BufferedImage;
import java.util.ArrayList;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import javax.swing.BorderFactory;
import javax.swing.JFrame;
import javax.swing.JLabel;
import javax.swing.JPanel;
import javax.swing.SwingUtilities;
import javax.swing.Timer;

/**
 * The demo's window: a grid of one tile per stream (the first generation's pictures and the second
 * generation's color in the top row, the second generation's depth-sized streams below), each with
 * its name and frame rate under it, and a status strip with the sessions' rates at the bottom.
 * Refreshed 30 times per second.
 */
final class DemoWindow {
    private static final int PREFERRED_PICTURE_HEIGHT = 240;

    private final FirstGeneration first;
    private final SecondGeneration second;
    private final JPanel grid = new JPanel(new TileGridLayout(PREFERRED_PICTURE_HEIGHT));
    private final JLabel status = new JLabel(" ");
    private final List<StreamTile> tiles = new ArrayList<>();

    private DemoWindow(FirstGeneration first, SecondGeneration second) {
        this.first = first;
        this.second = second;
        tiles.add(new StreamTile("gen1-depth", first.depthStats, 0, FirstGeneration.WIDTH, FirstGeneration.HEIGHT));
        tiles.add(new StreamTile("gen1-color", first.colorStats, 0, FirstGeneration.WIDTH, FirstGeneration.HEIGHT));
        tiles.add(new StreamTile("gen2-color", second.colorStats, 0, 1920, 1080));
        tiles.add(new StreamTile("gen2-depth", second.depthStats, 1, 512, 424));
        tiles.add(new StreamTile("gen2-infrared", second.infraredStats, 1, 512, 424));
        tiles.add(new StreamTile("gen2-long-exposure-infrared", second.longExposureStats, 1, 512, 424));
        tiles.add(new StreamTile("gen2-body-index", second.bodyIndexStats, 1, 512, 424));
        grid.setBackground(Color.BLACK);
        for (StreamTile tile : tiles) {
            grid.add(tile);
        }
        status.setOpaque(true);
        status.setBackground(Color.DARK_GRAY);
        status.setForeground(Color.YELLOW);
        status.setBorder(BorderFactory.createEmptyBorder(3, TileGridLayout.GAP, 3, TileGridLayout.GAP));
    }

    static void show(FirstGeneration first, SecondGeneration second, Runnable onClose) {
        SwingUtilities.invokeLater(() -> {
            DemoWindow window = new DemoWindow(first, second);
            JFrame frame = new JFrame("Plexa: virtual sensors");
            frame.getContentPane().setLayout(new BorderLayout());
            frame.getContentPane().add(window.grid, BorderLayout.CENTER);
            frame.getContentPane().add(window.status, BorderLayout.SOUTH);
            frame.setDefaultCloseOperation(JFrame.DISPOSE_ON_CLOSE);
            frame.addWindowListener(new WindowAdapter() {
                @Override
                public void windowClosed(WindowEvent e) {
                    onClose.run();
                    System.exit(0);
                }
            });
            window.refresh();
            frame.pack();
            window.fitScreen(frame);
            new Timer(33, e -> window.refresh()).start();
            frame.setVisible(true);
        });
    }

    /** A smaller window when the grid's preferred size would not fit on the screen. */
    private void fitScreen(JFrame frame) {
        Rectangle screen = GraphicsEnvironment.getLocalGraphicsEnvironment().getMaximumWindowBounds();
        if (frame.getWidth() <= screen.width && frame.getHeight() <= screen.height) {
            return;
        }
        int chromeWidth = frame.getWidth() - grid.getWidth();
        int chromeHeight = frame.getHeight() - grid.getHeight();
        int height = TileGridLayout.pictureHeightFitting(grid, screen.width - chromeWidth, screen.height - chromeHeight);
        grid.setLayout(new TileGridLayout(height));
        frame.pack();
    }

    private void refresh() {
        Map<String, BufferedImage> pictures = new LinkedHashMap<>(first.pictures());
        pictures.putAll(second.pictures());
        boolean reshaped = false;
        for (StreamTile tile : tiles) {
            reshaped |= tile.show(pictures.get(tile.streamName()));
        }
        if (reshaped) {
            grid.revalidate();
        }
        status.setText(String.format("gen1 depth %.1f fps, color %.1f fps, skeleton %.1f fps;  gen2 %.1f fps",
                first.depthStats.rate(), first.colorStats.rate(), first.skeletonStats.rate(),
                second.frameStats.rate()));
    }
}
