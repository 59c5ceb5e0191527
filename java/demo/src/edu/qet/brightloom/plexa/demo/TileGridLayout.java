package edu.qet.brightloom.plexa.demo;

import java.awt.Component;
import java.awt.Container;
import java.awt.Dimension;
import java.awt.Insets;
import java.awt.LayoutManager;
import java.util.ArrayList;
import java.util.List;

/**
 * Lays out stream tiles in rows: every picture at one common height, each as wide as its aspect
 * ratio asks, its label directly below it. The common height is the largest at which every row fits
 * the container, so the tiles scale with the window; the preferred size is the grid at the height
 * given to the constructor.
 */
final class TileGridLayout implements LayoutManager {
    static final int GAP = 6;
    private final int preferredPictureHeight;

    TileGridLayout(int preferredPictureHeight) {
        this.preferredPictureHeight = preferredPictureHeight;
    }

    @Override
    public void addLayoutComponent(String name, Component component) {
    }

    @Override
    public void removeLayoutComponent(Component component) {
    }

    @Override
    public Dimension preferredLayoutSize(Container parent) {
        return sizeAt(parent, preferredPictureHeight);
    }

    @Override
    public Dimension minimumLayoutSize(Container parent) {
        return sizeAt(parent, 16);
    }

    /** The largest picture height at which the grid fits into width x height (outer size, insets included). */
    static int pictureHeightFitting(Container parent, int width, int height) {
        List<List<StreamTile>> rows = rows(parent);
        if (rows.isEmpty()) {
            return 1;
        }
        Insets insets = parent.getInsets();
        int labelHeight = labelHeight(rows);
        double fit = (height - insets.top - insets.bottom - GAP * (rows.size() + 1) - rows.size() * labelHeight)
                / (double) rows.size();
        for (List<StreamTile> row : rows) {
            double available = width - insets.left - insets.right - GAP * (row.size() + 1);
            fit = Math.min(fit, available / aspectSum(row));
        }
        return Math.max(1, (int) Math.floor(fit));
    }

    @Override
    public void layoutContainer(Container parent) {
        List<List<StreamTile>> rows = rows(parent);
        int pictureHeight = pictureHeightFitting(parent, parent.getWidth(), parent.getHeight());
        int labelHeight = labelHeight(rows);
        Insets insets = parent.getInsets();
        int y = insets.top + GAP;
        for (List<StreamTile> row : rows) {
            int x = insets.left + GAP;
            for (StreamTile tile : row) {
                int width = (int) Math.round(pictureHeight * tile.aspect());
                tile.setBounds(x, y, width, pictureHeight + labelHeight);
                x += width + GAP;
            }
            y += pictureHeight + labelHeight + GAP;
        }
    }

    private static Dimension sizeAt(Container parent, int pictureHeight) {
        List<List<StreamTile>> rows = rows(parent);
        int labelHeight = labelHeight(rows);
        int width = 0;
        for (List<StreamTile> row : rows) {
            int rowWidth = GAP;
            for (StreamTile tile : row) {
                rowWidth += (int) Math.round(pictureHeight * tile.aspect()) + GAP;
            }
            width = Math.max(width, rowWidth);
        }
        int height = GAP + rows.size() * (pictureHeight + labelHeight + GAP);
        Insets insets = parent.getInsets();
        // One pixel per row to spare, so that rounding never makes the grid choose a smaller height.
        return new Dimension(width + insets.left + insets.right + rows.size(), height + insets.top + insets.bottom);
    }

    private static List<List<StreamTile>> rows(Container parent) {
        List<List<StreamTile>> rows = new ArrayList<>();
        for (Component component : parent.getComponents()) {
            if (component instanceof StreamTile) {
                StreamTile tile = (StreamTile) component;
                while (rows.size() <= tile.row()) {
                    rows.add(new ArrayList<>());
                }
                rows.get(tile.row()).add(tile);
            }
        }
        rows.removeIf(List::isEmpty);
        return rows;
    }

    private static int labelHeight(List<List<StreamTile>> rows) {
        int height = 0;
        for (List<StreamTile> row : rows) {
            for (StreamTile tile : row) {
                height = Math.max(height, tile.label().getPreferredSize().height);
            }
        }
        return height;
    }

    private static double aspectSum(List<StreamTile> row) {
        double sum = 0;
        for (StreamTile tile : row) {
            sum += tile.aspect();
        }
        return sum;
    }
}
