// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QPixmap;

// The artwork of the picture buttons carries its Chinese caption painted in. In another language
// the shared picture gets a copy whose caption area is painted over in the face's colour and the
// translated caption written there, so the Chinese interface shows the artwork exactly as drawn.
class CCaptionedPixmap
{
public:
    // The faces the artwork script draws, each with its caption's place and colours.
    enum class Face
    {
        StartCard,       // 150 x 150 start page card, bold caption under the disc
        PrimaryButton,   // small blue button, white caption
        SecondaryButton, // small white button, blue caption
        HelpCard         // 241 x 78 help card: a bold title and a line under it ("\n" between)
    };

    // painted: the caption the artwork holds, marked with QT_TRANSLATE_NOOP("CCaptionedPixmap", …);
    // it is translated here. Interface thread only; the pictures live as long as the application.
    static QPixmap* get(const QString& resourcePath, const char* painted, Face face);
};
