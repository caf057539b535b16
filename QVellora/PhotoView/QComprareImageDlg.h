// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class QColor;
class QHBoxLayout;
class QLabel;
class QPixmap;
class QProgressBar;
class QPushButton;

// Pictures side by side: two from the viewer, or up to four of a look-alike group from the grid,
// each scaled to fit its share of 1600 x 800. A group is shown sharpest first, each picture with
// its sharpness score as a bar (scored as the thumbnail workers score it, so the same figure the
// grid's mark was chosen by). With a group it also sorts: a click chooses a
// picture (it is framed; the one opened from comes chosen), and the keys 1 to 9 or the category
// buttons ask for the chosen picture to go into that category. The window changes no category
// itself; it only signals, so the page decides (and can undo).
class QComprareImageDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int MaxPictures = 4;
    static constexpr int MaxCategoryKeys = 9;

    explicit QComprareImageDlg(QWidget* parent = nullptr);

    // The pictures are not owned and not kept: each label gets its own scaled copy, so the
    // caller may replace them afterwards. Nothing can be chosen.
    void SetImages(const QPixmap* left, const QPixmap* right);
    // The first four pictures of paths, read upright and reduced on the interface thread (four
    // reduced reads at the user's request), shown sharpest first; chosen is framed when it is one
    // of them.
    void SetPictures(const QStringList& paths, const QString& chosen);
    // The categories that keys and buttons put into, top row first; buttons for the first nine.
    void SetCategories(const QStringList& names, const QList<QColor>& colors);

    QStringList GetPaths() const { return m_paths; }
    QString GetChosenPath() const { return m_paths.value(m_chosen); }

signals:
    // The user asked for paths to go into the category of this row.
    void sigPutIntoCategory(int row, QStringList paths);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowPictures(const QList<QPixmap>& pictures);
    void Choose(int index);
    void PutIntoCategory(int row);

    QList<QLabel*> m_labels;
    QList<QLabel*> m_captions; // the file name under each picture
    QList<QProgressBar*> m_sharpnessBars;
    QHBoxLayout* m_buttonLayout;
    QList<QPushButton*> m_categoryButtons;
    QStringList m_paths;
    int m_chosen = -1;
    int m_categoryCount = 0;
};
