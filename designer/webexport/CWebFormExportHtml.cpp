// The form page: head, form tag, hidden fields, and every exported page with
// its fill, background and elements placed absolutely, stacked one below the other.

#include "CWebFormExportPrivate.h"

#include "CBasePgCtrl.h"
#include "CColor.h"
#include "CGlobal.h"
#include "CGlobalMessages.h"
#include "CMessages.h"
#include "CPrinterPage.h"
#include "CProjectProps.h"
#include "CPropGroups.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QRegularExpression>
#include <QUrl>

namespace {
QString RGB(TColor color)
{
    const QColor c = ColorToQColor(color);
    return QStringLiteral("rgb(%1,%2,%3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

QString StyleLine(const QString &text)
{
    return QStringLiteral("          ") + text + QLatin1String(kCRLF);
}

// A font name goes into a style attribute: nothing of it may end the declaration.
QString CssFontName(const QString &name)
{
    QString clean;
    for (const QChar c : name)
        if (c != u';' && c != u'{' && c != u'}' && c != u':' && c != u'\\' && c.isPrint())
            clean += c;
    return WebHtml(clean);
}

QString BorderStyle(const TVisualPgCtrl *element)
{
    const TPropGroupBorder *border = element->VisualBorderProps();
    if (!border || border->BorderWidth() <= 0)
        return {};
    return StyleLine(QStringLiteral("border-style:solid;"))
        + StyleLine(QStringLiteral("border-color:%1;").arg(RGB(border->BorderColor())))
        + StyleLine(QStringLiteral("border-width:%1;").arg(border->BorderWidth()));
}

QString FontStyle(const TVisualPgCtrl *element)
{
    const TPropGroupCharacter *character = element->VisualCharacterProps();
    if (!character)
        return {};
    QString style = StyleLine(QStringLiteral("color:%1;").arg(RGB(character->CharacterColor())))
        + StyleLine(QStringLiteral("font-family:%1;").arg(CssFontName(character->CharacterFont())))
        + StyleLine(QStringLiteral("font-size:%1pt;").arg(character->CharacterSize()));
    const TCharacterStyles styles = character->CharacterStyle();
    if (styles & csBold)
        style += StyleLine(QStringLiteral("font-weight:bold;"));
    if (styles & csItalic)
        style += StyleLine(QStringLiteral("font-style:italic;"));
    if (styles & csUnderline)
        style += StyleLine(QStringLiteral("text-decoration:underline;"));
    if (styles & csUpperCase)
        style += StyleLine(QStringLiteral("text-transform:uppercase;"));
    return style;
}

QString FillStyle(TColor color)
{
    if (color == clNone)
        return {};
    return StyleLine(QStringLiteral("background-color:%1;").arg(RGB(color)));
}

QString PadStyle(const TVisualPgCtrl *element)
{
    const TPropGroupPad *pad = element->VisualPadProps();
    if (!pad)
        return {};
    QString style;
    if (pad->PadLeft())
        style += StyleLine(QStringLiteral("padding-left:%1px;").arg(pad->PadLeft()));
    if (pad->PadTop())
        style += StyleLine(QStringLiteral("padding-top:%1px;").arg(pad->PadTop()));
    if (pad->PadRight())
        style += StyleLine(QStringLiteral("padding-right:%1px;").arg(pad->PadRight()));
    if (pad->PadBottom())
        style += StyleLine(QStringLiteral("padding-bottom:%1px;").arg(pad->PadBottom()));
    return style;
}

bool Wraps(const TVisualPgCtrl *element)
{
    const TPropGroupParagraph *paragraph = element->VisualParagraphProps();
    return paragraph && paragraph->ParagraphWrap();
}

QString AlignStyle(const TVisualPgCtrl *element)
{
    const TPropGroupParagraph *paragraph = element->VisualParagraphProps();
    if (!paragraph)
        return {};
    QString style;
    if (paragraph->ParagraphStyle() == psJustified)
        style += StyleLine(QStringLiteral("text-align:justify;"));
    else if (paragraph->ParagraphHorzAlign() == taRightJustify)
        style += StyleLine(QStringLiteral("text-align:right;"));
    else if (paragraph->ParagraphHorzAlign() == taCenter)
        style += StyleLine(QStringLiteral("text-align:center;"));
    if (!paragraph->ParagraphWrap())
        style += StyleLine(QStringLiteral("white-space:nowrap;"));
    return style;
}

QString PositionStyle(const QRect &rect)
{
    return QStringLiteral(
               "          position:absolute;\r\n          Left:%1;\r\n          Top:%2;\r\n"
               "          Width:%3;\r\n          Height:%4")
        .arg(rect.left())
        .arg(rect.top())
        .arg(rect.width())
        .arg(rect.height());
}

QRect ElementRect(const TBasePgCtrl *element, const QSize &page, int top)
{
    const int left = int(Round(page.width() * element->BaseRelLeft() / 100));
    const int y = int(Round(page.height() * element->BaseRelTop() / 100));
    const int width = int(Round(page.width() * element->BaseRelWidth() / 100));
    const int height = int(Round(page.height() * element->BaseRelHeight() / 100));
    return QRect(left, y + top, width, height);
}

// Every style piece that applies to the element, position last.
QString ElementStyle(const TBasePgCtrl *element, const QRect &rect)
{
    const auto *visual = qobject_cast<const TVisualPgCtrl *>(element);
    if (!visual)
        return PositionStyle(rect);
    const TColor fill = visual->VisualFillProps() ? visual->VisualFillProps()->FillColor() : clNone;
    return BorderStyle(visual) + FontStyle(visual) + FillStyle(fill) + PadStyle(visual)
        + AlignStyle(visual) + PositionStyle(rect);
}

QString Attribute(const char *name, const QString &value)
{
    return QStringLiteral("        %1=\"%2\"\r\n").arg(QLatin1String(name), WebHtmlAttr(value));
}

QString Comment(const QString &name, const QString &text)
{
    return QStringLiteral("      <!-- %1 : %2 -->\r\n").arg(WebHtml(name), text);
}

// The file extension a picture's bytes call for; "png" when they are re-encoded.
QString PictureExtension(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format().toLower();
    static const QStringList kept
        = {QStringLiteral("bmp"), QStringLiteral("gif"),  QStringLiteral("ico"),
           QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png")};
    const QString name = QString::fromLatin1(format == "jpeg" ? QByteArray("jpg") : format);
    return kept.contains(name) ? name : QString();
}

// The picture as a file beside the page; its name, or empty when it holds none.
QString AddPicture(const QByteArray &bytes, const QImage &image, const QString &name,
                   QList<TWebExportImage> &images)
{
    QString extension = PictureExtension(bytes);
    QByteArray data = bytes;
    if (extension.isEmpty()) {
        if (image.isNull())
            return {};
        QBuffer buffer(&data);
        data.clear();
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        extension = QStringLiteral("png");
    }
    const QString file = name + u'.' + extension;
    images.append({file, data});
    return file;
}

// A picture an element holds: image file bytes or an image, under a property of the kind.
QString ElementPicture(const TBasePgCtrl *element, const QString &name,
                       QList<TWebExportImage> &images)
{
    for (const char *property : {"Picture", "Glyph", "Image"}) {
        const QVariant value = WebElementProperty(element, property);
        if (value.typeId() == QMetaType::QByteArray && !value.toByteArray().isEmpty())
            return AddPicture(value.toByteArray(), QImage::fromData(value.toByteArray()), name,
                              images);
        if (value.typeId() == QMetaType::QImage && !value.value<QImage>().isNull())
            return AddPicture({}, value.value<QImage>(), name, images);
    }
    return {};
}

QString Src(const QString &file)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(file, "._-~"));
}

// The parts every element shares: comment, style, title.
struct TElementOut
{
    const TWebExportSettings &Settings;
    const TWebExportElement &Item;
    QRect Rect;
    QString Prefix;
    QList<TWebExportImage> &Images;

    const TBasePgCtrl *Element() const { return Item.Element; }
    QString Name() const { return Item.Element->Name(); }
    const TVisualPgCtrl *Visual() const { return qobject_cast<TVisualPgCtrl *>(Item.Element); }
    QString Style() const
    {
        return QStringLiteral("        style=\"\r\n%1\"\r\n").arg(ElementStyle(Element(), Rect));
    }
    QString Title() const
    {
        const QString hint = Element()->Hint();
        return hint.isEmpty() ? QString() : Attribute("title", hint);
    }
    QString NameAttr() const { return Attribute("name", Item.FieldName); }
    bool ReadOnly() const
    {
        const QVariant value = WebElementProperty(Element(), "GeneralReadOnly");
        return value.isValid() && value.toBool();
    }
    QString Caption() const
    {
        const QVariant caption = WebElementProperty(Element(), "Caption");
        return caption.isValid() ? caption.toString() : Element()->Text();
    }
    bool IsSubmit() const
    {
        return !Settings.Submit.isEmpty()
            && Name().compare(Settings.Submit, Qt::CaseInsensitive) == 0;
    }
    bool IsReset() const
    {
        return !Settings.Reset.isEmpty()
            && Name().compare(Settings.Reset, Qt::CaseInsensitive) == 0;
    }
};

QString InputElement(const TElementOut &out, const QString &type, const QString &comment,
                     const QString &extra)
{
    return Comment(out.Name(), comment)
        + QStringLiteral("      <input\r\n        type=\"%1\"\r\n").arg(type) + out.Style()
        + out.Title() + extra + out.NameAttr() + QStringLiteral("      >");
}

QString LabelElement(const TElementOut &out)
{
    QStringList lines;
    for (const QString &line :
         out.Element()->Text().split(QRegularExpression(QStringLiteral("\r\n|\r|\n"))))
        lines << WebHtml(line);
    QString body = lines.join(QStringLiteral("<br>"));
    const QString link = WebElementProperty(out.Element(), "Hyperlink").toString();
    if (!link.isEmpty())
        body
            = QStringLiteral("<a href=\"%1\" target=\"%2\">%3</a>\r\n")
                  .arg(WebHtmlAttr(link),
                       WebHtmlAttr(WebElementProperty(out.Element(), "HyperlinkTarget").toString()),
                       body);
    return Comment(out.Name(), QStringLiteral("Velora Label.")) + QStringLiteral("      <label\r\n")
        + out.Style() + out.Title()
        + QStringLiteral("      >\r\n        %1\r\n      </label>").arg(body);
}

QString MaxLength(const TElementOut &out)
{
    const int limit = WebElementProperty(out.Element(), "ValidationMaxChars").toInt();
    return limit > 0 ? Attribute("maxlength", QString::number(limit)) : QString();
}

// Line breaks as character references: the page's own lines stay the only ones, and a
// leading line break, which parsers drop right after the tag, gets one to drop.
QString TextAreaContent(const QString &text)
{
    const QString content = WebHtmlAttr(text);
    return text.startsWith(u'\n') ? QStringLiteral("&#10;") + content : content;
}

QString TextBoxElement(const TElementOut &out)
{
    const int kind = out.Element()->ClassTypeID();
    const TVisualPgCtrl *visual = out.Visual();
    const QString text = out.Element()->Text();
    if (kind == 210 || (visual && Wraps(visual))) {
        const TVisualPgCtrl *v = visual;
        const TColor fill = v && v->VisualFillProps() ? v->VisualFillProps()->FillColor() : clNone;
        const QString style = v ? BorderStyle(v) + FontStyle(v) + FillStyle(fill) + PadStyle(v)
                + AlignStyle(v) + PositionStyle(out.Rect)
                                : PositionStyle(out.Rect);
        return Comment(out.Name(), QStringLiteral("Velora Text Box (With word wrapping)."))
            + QStringLiteral(
                  "      <textarea\r\n        cols=\"0\"\r\n        rows=\"0\"\r\n"
                  "        style=\"\r\n%1\"\r\n%2%3%4%5        name=\"%6\">%7</textarea>")
                  .arg(style, out.Title(), MaxLength(out),
                       out.ReadOnly() ? QStringLiteral("        readonly\r\n") : QString(),
                       QString(), WebHtmlAttr(out.Item.FieldName), TextAreaContent(text));
    }
    const QString inputType = WebElementProperty(out.Element(), "GeneralInputType").toString();
    const bool password = kind == 215
        || WebElementProperty(out.Element(), "GeneralPassword").toBool()
        || inputType.contains(QLatin1String("Password"), Qt::CaseInsensitive);
    const QVariant display = WebElementProperty(out.Element(), "GeneralDisplay");
    const bool hidden = display.isValid() && !display.toBool();
    const QString type = hidden ? QStringLiteral("hidden")
        : password              ? QStringLiteral("password")
                                : QStringLiteral("text");
    const QString comment = hidden ? QStringLiteral("Velora Hidden.")
        : password                 ? QStringLiteral("Velora Password Text Box.")
                                   : QStringLiteral("Velora Text Box (Without word wrapping).");
    QString extra = Attribute("value", text) + MaxLength(out);
    if (out.ReadOnly())
        extra += QStringLiteral("        readonly\r\n");
    return InputElement(out, type, comment, extra);
}

QString ImageElement(const TElementOut &out)
{
    const QString file = ElementPicture(out.Element(), out.Prefix + out.Name(), out.Images);
    QString img = QStringLiteral("      <img\r\n") + out.Style() + out.Title()
        + Attribute("alt", out.Element()->Text()) + Attribute("src", Src(file))
        + QStringLiteral("      >");
    const QString link = WebElementProperty(out.Element(), "Hyperlink").toString();
    if (!link.isEmpty()) {
        const QString target = WebElementProperty(out.Element(), "HyperlinkTarget").toString();
        img = QStringLiteral("      <a href=\"%1\"%2>\r\n%3\r\n      </a>")
                  .arg(WebHtmlAttr(link),
                       target.isEmpty() ? QString()
                                        : QStringLiteral(" target=\"%1\"").arg(WebHtmlAttr(target)),
                       img);
    }
    return Comment(out.Name(), QStringLiteral("Velora Image.")) + img;
}

bool Checked(const TElementOut &out)
{
    for (const char *name : {"Checked", "GeneralChecked", "State"}) {
        const QVariant value = WebElementProperty(out.Element(), name);
        if (value.isValid())
            return value.toBool() || value.toString() == QLatin1String("cbChecked");
    }
    return false;
}

QString SelectElement(const TElementOut &out)
{
    QStringList items;
    if (const auto *list = out.Element()->property("ComboListProps").value<QObject *>())
        items = list->property("ListItems").toString().split(QStringLiteral("\r\n"));
    else
        items = WebElementProperty(out.Element(), "ListItems")
                    .toString()
                    .split(QStringLiteral("\r\n"));
    while (!items.isEmpty() && items.constLast().isEmpty())
        items.removeLast();
    // A select must hold an option; an empty list gets an empty one.
    if (items.isEmpty())
        items << QString();
    QString options;
    const QString text = out.Element()->Text();
    for (const QString &item : items)
        options
            += QStringLiteral("        <option%1>%2</option>\r\n")
                   .arg(!text.isEmpty() && item == text ? QStringLiteral(" selected") : QString(),
                        WebHtml(item));
    return Comment(out.Name(), QStringLiteral("Velora Combo Box."))
        + QStringLiteral("      <select\r\n") + out.Style() + out.Title() + out.NameAttr()
        + QStringLiteral("      >\r\n") + options + QStringLiteral("      </select>");
}

QString ButtonElement(const TElementOut &out, bool image)
{
    const QString caption = out.Caption();
    if (out.IsSubmit()) {
        if (image) {
            const QString file = ElementPicture(out.Element(), out.Prefix + out.Name(), out.Images);
            return InputElement(out, QStringLiteral("image"),
                                QStringLiteral("Velora Image (Used for Submit)."),
                                Attribute("alt", caption) + Attribute("src", Src(file)));
        }
        return InputElement(out, QStringLiteral("submit"),
                            QStringLiteral("Velora Button (Used for Submit)."),
                            Attribute("value", caption));
    }
    if (out.IsReset())
        return InputElement(out, QStringLiteral("reset"),
                            QStringLiteral("Velora Button (Used for Reset)."),
                            Attribute("value", caption));
    return Comment(out.Name(), QStringLiteral("Velora Button."))
        + QStringLiteral("      <button\r\n        type=\"button\"\r\n") + out.Style() + out.Title()
        + out.NameAttr()
        + QStringLiteral("      >\r\n        %1\r\n      </button>").arg(WebHtml(caption));
}

QString ElementHtml(const TElementOut &out)
{
    switch (out.Item.Kind) {
    case TWebExportKind::Label:
        return out.IsSubmit() || out.IsReset() ? ButtonElement(out, false) : LabelElement(out);
    case TWebExportKind::TextBox:
        return out.IsSubmit() || out.IsReset() ? ButtonElement(out, false) : TextBoxElement(out);
    case TWebExportKind::Image:
        return out.IsSubmit() ? ButtonElement(out, true) : ImageElement(out);
    case TWebExportKind::CheckBox:
    case TWebExportKind::RadioButton: {
        if (out.IsSubmit() || out.IsReset())
            return ButtonElement(out, false);
        const bool radio = out.Item.Kind == TWebExportKind::RadioButton;
        QString extra = Attribute("value", radio ? out.Name() : out.Element()->Text());
        if (Checked(out))
            extra += QStringLiteral("        checked\r\n");
        return InputElement(out, radio ? QStringLiteral("radio") : QStringLiteral("checkbox"),
                            radio ? QStringLiteral("Velora Radio Button.")
                                  : QStringLiteral("Velora Check Box."),
                            extra);
    }
    case TWebExportKind::Select:
        return out.IsSubmit() || out.IsReset() ? ButtonElement(out, false) : SelectElement(out);
    case TWebExportKind::ReadOnlyText: {
        if (out.IsSubmit() || out.IsReset())
            return ButtonElement(out, false);
        QString extra = Attribute("value", out.Element()->Text());
        if (out.ReadOnly())
            extra += QStringLiteral("        readonly\r\n");
        return InputElement(out, QStringLiteral("text"),
                            QStringLiteral("Velora Text Box (Without word wrapping)."), extra);
    }
    case TWebExportKind::Button:
        return ButtonElement(out, false);
    }
    return {};
}

QString PageFill(int page, int top)
{
    const TProjectPropsPageProps *settings = GlobalPgProps(page);
    const TColor fill = settings ? settings->PageFillProps()->FillColor() : clNone;
    if (fill == clNone)
        return {};
    const QSize size = WebPageSize(page);
    return QStringLiteral(
               "      <!-- Page %1 : Page Fill. -->\r\n      <label\r\n        style=\"\r\n"
               "%2%3\">\r\n      </label>\r\n")
        .arg(page + 1)
        .arg(FillStyle(fill), PositionStyle(QRect(QPoint(0, top), size)));
}

// A PDF page as a picture: the PDF view element paints it, as it paints the page on screen.
QImage PdfPicture(const TPropGroupPDF *pdf, const QSize &size)
{
    QObject *pane = Global_FormElementRef(pdf->PDFLink());
    if (!pane || size.isEmpty())
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter canvas(&image);
    TPaintPDFPageRequest request {&canvas, pdf->PDFPage(), QRect(QPoint(0, 0), size)};
    SendMessage(pane, VRMSGPaintPDFPage, std::uintptr_t(pdf->PDFPage()),
                reinterpret_cast<std::intptr_t>(&request));
    canvas.end();
    return image;
}

QString PageBackground(const TWebExportSettings &settings, int page, int top,
                       QList<TWebExportImage> &images)
{
    const TProjectPropsPageProps *props = GlobalPgProps(page);
    const TPrinterPage *view = GlobalPgScrollBox(page);
    if (!props || !view)
        return {};
    const auto *background = props->PageBackgroundProps();
    TPropGroupPDF *pdf = background->PagePDFProps();
    const QImage &picture = background->Picture();
    const TGlobalImageSource source = GlobalImageSource(pdf, &picture);
    if (!background->PageDisplay() || source == gisNone)
        return {};
    const QSize size = WebPageSize(page);
    QRect target(QPoint(0, 0), size);
    if (background->PageFitTo() == ftMargins) {
        const auto px = [](int mm, int ppi) {
            return int(Round(mm / 25.4L * ppi));
        };
        const int ppiX = view->ScreenPixelsPerInchX();
        const int ppiY = view->ScreenPixelsPerInchY();
        target = QRect(QPoint(px(view->LeftMargin(), ppiX), px(view->TopMargin(), ppiY)),
                       QPoint(size.width() - px(view->RightMargin(), ppiX) - 1,
                              size.height() - px(view->BottomMargin(), ppiY) - 1));
    }
    const QRect rect = GlobalAdjImgRect(target, source, pdf, &picture, page,
                                        background->PageProportional(), false);
    const QString name = QStringLiteral("Page%1BackgroundProperty").arg(page + 1);
    const QString file = source == gisPicture
        ? AddPicture(
            TProjectPropsPagePropsPropGroupBackground::ImageBytes(background->FileNameImage()),
            picture, WebImagePrefix(settings) + name, images)
        : AddPicture({}, PdfPicture(pdf, rect.size()), WebImagePrefix(settings) + name, images);
    if (file.isEmpty())
        return {};
    return QStringLiteral(
               "      <!-- %1 : Page Background. -->\r\n      <img\r\n        style=\"\r\n"
               "%2\"\r\n        alt=\"\"\r\n        src=\"%3\"\r\n      >\r\n")
        .arg(name, PositionStyle(rect.translated(0, top)), Src(file));
}

// The hidden fields of the document: one input each, named by the element.
QString HiddenFields()
{
    QString html;
    const int kinds[] = {CWEBEXPORT_HIDDEN_KIND};
    for (const QString &name : Global_FillHTMLExportDropList(kinds)) {
        const auto *element = qobject_cast<TBasePgCtrl *>(Global_FormElementRef(name));
        if (!element)
            continue;
        html += QStringLiteral("      <!-- %1 : HTML Hidden. -->\r\n      <input\r\n        "
                               "type=\"hidden\"\r\n        name=\"%2\"\r\n%3      >\r\n")
                    .arg(WebHtml(name), WebHtmlAttr(name), Attribute("value", element->Text()));
    }
    return html;
}

// One validation rule as the elements state it: field, parameter, check, message.
struct TRule
{
    QString Field;
    QString Param;
    QString Check;
    QString Message;
};

// The elements state their rules as quoted script arguments, one per line, without
// escaping; read back so that each argument is written escaped.
QList<TRule> Rules(const QList<TWebExportElement> &elements)
{
    static const QRegularExpression entry(
        QStringLiteral("^\\s*'(.*?)', '(.*?)', '(.*?)', '(.*)'\\s*,?\\s*$"));
    QList<TRule> rules;
    for (const TWebExportElement &item : elements) {
        const auto *visual = qobject_cast<TVisualPgCtrl *>(item.Element);
        if (!visual || !visual->HasHTMLValidation())
            continue;
        const QString text = visual->GetValidationHTML(0);
        for (const QString &line : text.split(QRegularExpression(QStringLiteral("\r\n|\n")))) {
            const QRegularExpressionMatch m = entry.match(line);
            if (!m.hasMatch())
                continue;
            // A radio button is checked under its group's field name.
            QString field = m.captured(1);
            if (item.Kind == TWebExportKind::RadioButton && field == item.Element->Name())
                field = item.FieldName;
            rules.append({field, m.captured(2), m.captured(3), m.captured(4)});
        }
    }
    return rules;
}

QString RuleArguments(const QList<TRule> &rules)
{
    QStringList lines;
    for (const TRule &rule : rules)
        lines << QStringLiteral("        '%1', '%2', '%3', '%4'")
                     .arg(WebJsString(rule.Field), WebJsString(rule.Param), WebJsString(rule.Check),
                          WebJsString(rule.Message));
    return WebHtml(lines.join(QStringLiteral(",\r\n")));
}

// The two functions the form's onsubmit calls. MM_findObj finds a named field;
// YY_checkform takes the form name, then four arguments per rule.
const char *const kValidationScript = R"JS(<script type="text/javascript">
      <!--
      function MM_findObj(n, d) {
        var doc = d ? d : document, found = null, i, at = n.indexOf('?');
        if (at > 0 && window.parent && parent.frames.length) {
          var frame = parent.frames[n.substring(at + 1)];
          if (frame) doc = frame.document;
          n = n.substring(0, at);
        }
        for (i = 0; !found && doc.forms && i < doc.forms.length; i++) {
          found = doc.forms[i].elements[n] || null;
        }
        if (!found && doc.getElementsByName) {
          var named = doc.getElementsByName(n);
          if (named.length == 1) found = named[0];
          else if (named.length > 1) found = named;
        }
        for (i = 0; !found && doc.layers && i < doc.layers.length; i++) {
          found = MM_findObj(n, doc.layers[i].document);
        }
        if (!found && doc.getElementById) found = doc.getElementById(n);
        return found;
      }
      function YY_fieldType(f) {
        if (f && f.type) return String(f.type).toLowerCase();
        if (f && f.length && f[0] && f[0].type) return String(f[0].type).toLowerCase();
        return '';
      }
      function YY_checkText(v, param, kind) {
        var parts, low, high, x, m, day, month, year;
        if (kind == '1') {
          parts = param.split('_');
          x = parseFloat(v.replace(/,/g, ''));
          if (isNaN(x) || !/^\s*[-+]?[\d,]*\.?\d+([eE][-+]?\d+)?\s*$/.test(v)) return false;
          low = parseFloat(parts[0]); high = parseFloat(parts[1]);
          if (isNaN(low) || isNaN(high) || (low == 0 && high == 0)) return true;
          return x >= low && x <= high;
        }
        if (kind == '2') return /^[^\s@]+@[^\s@]+\.[^\s@]+$/.test(v);
        if (kind == '3') {
          parts = param.split('#');
          m = new RegExp('^' + parts[0] + '$').exec(v);
          if (!m) return false;
          day = parseInt(m[parseInt(parts[1], 10)], 10);
          month = parseInt(m[parseInt(parts[2], 10)], 10);
          year = parseInt(m[parseInt(parts[3], 10)], 10);
          x = new Date(year, month - 1, day);
          return x.getFullYear() == year && x.getMonth() == month - 1 && x.getDate() == day;
        }
        if (kind == '4') return new RegExp('^' + param + '$').test(v);
        return true;
      }
      function YY_checkform() {
        var a = arguments, errors = '', i, j;
        for (i = 1; i + 3 < a.length; i += 4) {
          var name = String(a[i]), param = String(a[i + 1]), kind = String(a[i + 2]);
          var indexed = /^(.*)\[(\d+)\]$/.exec(name);
          var f = MM_findObj(indexed ? indexed[1] : name);
          if (!f) continue;
          var required = param.charAt(0) == '#', failed = false, other, v;
          if (required) param = param.substring(1);
          var type = YY_fieldType(f);
          if (type == 'radio') {
            var any = false, group = f.length ? f : [f];
            for (j = 0; j < group.length; j++) if (group[j].checked) any = true;
            failed = (required || kind == '2') && !any;
          } else if (type == 'checkbox') {
            failed = (required || kind == '1') && !f.checked;
          } else if (type.indexOf('select') == 0) {
            failed = (required || kind == '1') && f.selectedIndex < 1;
          } else if (type == 'textarea') {
            v = f.value;
            var least = parseInt(param, 10);
            failed = (required && v == '') || (!isNaN(least) && v.length < least);
          } else {
            v = f.value;
            if (kind == '5') {
              other = MM_findObj(param);
              failed = v != '' && other && !other.checked;
            } else if (kind == '6') {
              other = MM_findObj(param);
              failed = other && other.value != v;
            } else if (v == '') {
              failed = required;
            } else {
              failed = !YY_checkText(v, param, kind);
            }
          }
          if (failed) errors += '- ' + a[i + 3] + '\n';
        }
        if (errors) alert('Form validation failed!\t\n\n' + errors);
        document.MM_returnValue = (errors == '');
      }
      //-->
    </script>
)JS";
} // namespace

QString WebHead(const QString &title, const QString &script)
{
    return QStringLiteral("  <head>\r\n    <meta http-equiv=\"content-type\" content=\"text/html; "
                          "charset=utf-8\">\r\n    <title>\r\n      %1\r\n    </title>\r\n  %2  "
                          "</head>")
        .arg(WebHtml(title), script);
}

QString WebPageHtml(const TWebExportSettings &settings, int page, int top,
                    const QList<TWebExportElement> &elements, QList<TWebExportImage> &images)
{
    QString html = PageFill(page, top) + PageBackground(settings, page, top, images);
    const QSize size = WebPageSize(page);
    for (const TWebExportElement &item : elements) {
        if (item.Page != page)
            continue;
        const TElementOut out {settings, item, ElementRect(item.Element, size, top),
                               WebImagePrefix(settings), images};
        html += ElementHtml(out) + QLatin1String(kCRLF);
    }
    return html;
}

QString WebBuildHtml(const TWebExportSettings &settings, QList<TWebExportImage> &images)
{
    const QList<int> pages = WebExportPages(settings);
    const QList<TWebExportElement> elements = WebExportElements(pages);
    const QList<TRule> rules = Rules(elements);
    QString script;
    QString onsubmit;
    if (!rules.isEmpty()) {
        script = QString::fromUtf8(kValidationScript)
                     .replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
        onsubmit = QStringLiteral("\r\n      onsubmit=\"YY_checkform('%1',\r\n%2);\r\n      return "
                                  "document.MM_returnValue\"")
                       .arg(WebHtml(WebJsString(settings.FormName)), RuleArguments(rules));
    }
    const QString action = settings.HasScript() ? WebScriptFileName(settings) : settings.Action;
    QString html
        = QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">"
                         "\r\n<html>\r\n")
        + WebHead(settings.Title, script) + QStringLiteral("\r\n  <body>\r\n");
    html += QStringLiteral(
                "    <form\r\n      id=\"%1\"\r\n%2      method=\"%3\"\r\n      name=\"%4\"\r\n"
                "%5      action=\"%6\"%7>\r\n")
                .arg(WebHtmlAttr(settings.FormName),
                     settings.Encoding.isEmpty() ? QString()
                                                 : QStringLiteral("      enctype=\"%1\"\r\n")
                                                       .arg(WebHtmlAttr(settings.Encoding)),
                     WebHtmlAttr(settings.Method), WebHtmlAttr(settings.FormName),
                     settings.Target.isEmpty() ? QString()
                                               : QStringLiteral("      target=\"%1\"\r\n")
                                                     .arg(WebHtmlAttr(settings.Target)),
                     WebHtmlAttr(action), onsubmit);
    html += HiddenFields();
    int top = 0;
    for (const int page : pages) {
        html += WebPageHtml(settings, page, top, elements, images);
        top += WebPageSize(page).height();
    }
    html += QStringLiteral("    </form>\r\n  </body>\r\n</html>\r\n");
    return html;
}
