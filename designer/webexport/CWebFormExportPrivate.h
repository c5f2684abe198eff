#pragma once
// What the parts of the web form export share: escaping for each language the
// files hold, page geometry, and the pictures written beside the page.

#include "CWebFormExport.h"

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>

class QObject;
class TVisualPgCtrl;

inline constexpr const char *kCRLF = "\r\n";

// A picture the page refers to, written beside it under its name.
struct TWebExportImage
{
    QString Name;
    QByteArray Bytes;
};

// Text for HTML content and double-quoted attribute values: & < > " escaped, and
// the two characters the export has always written as entities.
QString WebHtml(const QString &text);
// As WebHtml, with line breaks kept as character references (attribute values).
QString WebHtmlAttr(const QString &text);
// The inside of a single-quoted JavaScript literal: no quote, backslash, line
// break or "</" can end it, or the script around it.
QString WebJsString(const QString &text);

// A published property of the element or of one of its groups; invalid when none has it.
QVariant WebElementProperty(const QObject *element, const char *name);
// Publish is on; an element without the setting is published.
bool WebElementPublished(const QObject *element);
// The radio group number of a radio button, -1 when it belongs to none.
int WebRadioGroup(const QObject *element);

// A page in screen pixels, as the page surface converts its millimetres.
QSize WebPageSize(int page);

// The HTML of a page inside a form: fill, background and elements, top shifted
// by top. Pictures go to images.
QString WebPageHtml(const TWebExportSettings &settings, int page, int top,
                    const QList<TWebExportElement> &elements, QList<TWebExportImage> &images);
// The head with its title and an optional script block.
QString WebHead(const QString &title, const QString &script);
// Where the page's pictures go: the page's file name without extension, then "_".
QString WebImagePrefix(const TWebExportSettings &settings);
// The script's file name (the Action's last path part without query); empty when none.
QString WebScriptFileName(const TWebExportSettings &settings);

// The texts of both files, with the pictures both refer to.
QString WebBuildHtml(const TWebExportSettings &settings, QList<TWebExportImage> &images);
QString WebBuildScript(const TWebExportSettings &settings, QList<TWebExportImage> &images);
