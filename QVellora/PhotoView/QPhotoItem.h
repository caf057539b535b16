// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QList>
#include <QRect>
#include <QString>
#include <QWidget>

class QFontMetrics;
class QPainter;
class QPixmap;

// What the photo tile and the folder tile of the grid share: the path the tile stands for, the
// tick used to choose pictures for a drag, and one colour mark per category that holds the
// picture. Tiles paint themselves completely. They let presses and moves through to the grid
// underneath, which does the selecting, ticking and dragging.
class QPhotoItem : public QWidget
{
    Q_OBJECT
public:
    QPhotoItem(int width, int height, QWidget* parent = nullptr);

    // Appends the colour unless an equal one is already there; repainting is left to the caller.
    void AddItemColor(const QColor& color);
    // Removes the first equal colour, if any.
    void SubItemColor(const QColor& color);
    // The size of the picture's look-alike group; from two on the tile carries a "相似 N" badge.
    void SetLookalikeCount(int count);
    int LookalikeCount() const { return m_lookalikeCount; }
    void SetChecked(bool checked);
    void ToggleChecked();
    bool IsChecked() const { return m_checked; }
    QString GetPath() const { return m_path; }
    QList<QColor> GetItemColors() const { return m_colors; }
    // Where the picture is painted; empty while there is none.
    QRect GetImageRect() const { return m_imageRect; }
    // The file or folder name as painted under the picture: elided in the middle to the tile's
    // width, so the start and the extension both stay readable.
    QString ShownName() const;
    // The height of the strip under the square that holds the name; the grid makes its cells
    // that much taller than wide.
    static int NameStripHeight(const QFontMetrics& metrics) { return metrics.height() + 6; }

signals:
    void doublePhotoItem(QString qstrPath);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

    // The squares of the first five colours; later colours are kept but not painted.
    void PaintColorMarks(QPainter& painter) const;
    // The look-alike badge in the top right corner of the square; nothing for a single.
    void PaintLookalikeBadge(QPainter& painter) const;
    // The name in the strip below the square; nothing while the tile is only the square.
    void PaintShownName(QPainter& painter) const;
    static QRect CheckMarkRect() { return QRect(5, 5, 15, 15); }
    static QPixmap* CheckPicture();

    QRect m_imageRect;
    QPixmap* m_picture = nullptr;
    QString m_path;
    QRect m_contentRect;
    double m_contentWidth;
    double m_contentHeight;
    bool m_checked = false;
    QList<QRect> m_markRects;
    QList<QColor> m_colors;

private:
    // Eliding measures the text: done once, not on every paint.
    mutable QString m_shownName;
    mutable bool m_shownNameKnown = false;
    int m_lookalikeCount = 1;
    // The badge's text and box are measured when the count changes, not on every paint.
    QString m_badgeText;
    QRect m_badgeRect;
};
