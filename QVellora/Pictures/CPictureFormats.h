// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The picture types a photo search can look for. PNG and BMP are built into Qt, JPG is a plugin
// of Qt's own package; the others need an image plugin that another Debian package brings. A
// type whose plugin is missing is not searched for by default, so a search does not list
// pictures that nothing could show.
class CPictureFormats
{
public:
    struct Format
    {
        QString label;           // the type box's text in the source language
        QStringList suffixes;    // lower-case file suffixes the box stands for
        QByteArray readerFormat; // the format name QImageReader knows it by
        QString package;         // the Debian package with the plugin; empty for formats built into Qt
    };

    // In the type dialog's order: JPG, PNG, BMP, HEIC/HEIF, WebP, AVIF, TIFF.
    static const QList<Format>& all();
    // Whether QImageReader can read the type in this process (its plugin was found).
    static bool isReadable(const Format& format);
    // The suffixes of every readable type, in the order above: what a search looks for at start.
    static QStringList readableSuffixes();
    // The type box's text in the interface's language.
    static QString shownLabel(const Format& format);
    // The tooltip of a type box whose plugin is missing: names the package that brings it.
    static QString missingPluginText(const Format& format);
};
