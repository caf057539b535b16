// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QPixmap>

#include <memory>

class QComprareImageDlg;
class QLabel;
class QPhotoViewImageWidget;
class QPushButton;

// The large-image viewer: one picture, upright, fitted into the window, with its name, time and
// size above it and eight picture buttons below. It does not step through pictures itself: the
// previous, next and compare buttons ask the owning list, which answers with SetImage or
// SetCompareImage on the same viewer.
class QPhotoViewImageDlg : public QDialog
{
    Q_OBJECT
public:
    explicit QPhotoViewImageDlg(QWidget* parent = nullptr);
    ~QPhotoViewImageDlg() override;

    // Loads the picture (reading on the calling thread) and shows it fitted; a path that is no
    // readable picture shows its name and time, "0 x 0 像素" and an empty area.
    void SetImage(const QString& path);
    // Loads a second picture and runs the compare window modally beside the shown one.
    void SetCompareImage(const QString& path);

    // The colours of the categories that hold the shown picture, as squares in the top left corner.
    void SetMarks(const QList<QColor>& colors);
    QList<QColor> GetMarks() const { return m_marks; }

    QString GetImagePath() const { return m_path; }
    double GetZoom() const { return m_zoom; }
    QPhotoViewImageWidget* GetImageWidget() const { return m_imageWidget; }
    QComprareImageDlg* GetCompareDlg() const { return m_compareDlg.get(); }

signals:
    // After SetImage, with the path now shown.
    void imageShown(const QString& path);
    void sigGetPreImage();
    void sigGetNextImage();
    void sigGetCompareImage();

private slots:
    void onCheckFullScreen();
    void onCheckSmallButton();
    void onCheckMaxButton();
    void onCheckPreImage();
    void onCheckNextImage();
    void onCheckLeft90Degree();
    void onCheckRight90Degree();
    void onCheckCompare();

private:
    QPushButton* CreateButton(const char* name, const QString& icon, void (QPhotoViewImageDlg::*slot)());
    static QPixmap* LoadUpright(const QString& path, QString* refusal = nullptr, QSize* wholeSize = nullptr);

    QLabel* m_marksLabel;
    QLabel* m_nameLabel;
    QLabel* m_timeLabel;
    QLabel* m_sizeLabel;
    QPhotoViewImageWidget* m_imageWidget;
    QList<QPushButton*> m_buttons;
    std::unique_ptr<QComprareImageDlg> m_compareDlg;
    QString m_path;
    std::unique_ptr<QPixmap> m_picture;
    std::unique_ptr<QPixmap> m_comparePicture;
    double m_zoom = 1.0;
    QList<QColor> m_marks;
};
