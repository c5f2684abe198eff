// The submit scripts: ASP or PHP that e-mails the submitted values, then shows
// the thank-you text or the after-submit page. Field references ("#!Name")
// become the submitted values; nothing a user typed can leave its string.

#include "CWebFormExportPrivate.h"

#include "CBasePgCtrl.h"
#include "CProjectInfo.h"

#include <QRegularExpression>

namespace {
// A setting's text cut into literal text and field references, in order.
struct TPiece
{
    bool Field = false;
    // The literal text, or the field name the value is submitted under.
    QString Text;
};

bool NameStart(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
}

bool NameChar(QChar c)
{
    return NameStart(c) || (c >= u'0' && c <= u'9');
}

// The field a reference names: an element of the form, or a radio group by "(GroupIDn)".
QString FieldOf(const QString &name, const QList<TWebExportElement> &elements)
{
    for (const TWebExportElement &item : elements) {
        if (item.Element->Name().compare(name, Qt::CaseInsensitive) == 0)
            return item.FieldName;
    }
    return {};
}

QList<TPiece> Pieces(const QString &source, const QList<TWebExportElement> &elements)
{
    // Doubled carriage returns go, and every line break becomes one line feed.
    QString text = source;
    text.replace(QStringLiteral("\r\r"), QStringLiteral("\r"));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    static const QRegularExpression group(QStringLiteral("^\\(GroupID(\\d+)\\)"));
    QList<TPiece> pieces;
    const auto literal = [&pieces](const QString &part) {
        if (pieces.isEmpty() || pieces.constLast().Field)
            pieces.append({false, QString()});
        pieces.last().Text += part;
    };
    qsizetype i = 0;
    while (i < text.size()) {
        if (text.mid(i, 2) == QLatin1String("#!")) {
            const QRegularExpressionMatch m = group.match(QStringView(text).mid(i + 2));
            if (m.hasMatch()) {
                const QString field = QStringLiteral("GroupID") + m.captured(1);
                const bool known = std::any_of(
                    elements.begin(), elements.end(),
                    [&field](const TWebExportElement &item) { return item.FieldName == field; });
                if (known) {
                    pieces.append({true, field});
                    i += 2 + m.capturedLength();
                    continue;
                }
            }
            qsizetype end = i + 2;
            if (end < text.size() && NameStart(text.at(end))) {
                while (end < text.size() && NameChar(text.at(end)))
                    ++end;
                const QString field = FieldOf(text.mid(i + 2, end - i - 2), elements);
                if (!field.isEmpty()) {
                    pieces.append({true, field});
                    i = end;
                    continue;
                }
            }
        }
        literal(text.at(i));
        ++i;
    }
    return pieces;
}

// A VBScript string expression: literals in double quotes (a quote doubled), line
// feeds as vbCrLf, values as Request("name"), joined by " & ".
QString VbExpression(const QList<TPiece> &pieces)
{
    QStringList parts;
    for (const TPiece &piece : pieces) {
        if (piece.Field) {
            parts << QStringLiteral("Request(\"%1\")").arg(piece.Text);
            continue;
        }
        QString open;
        const auto close = [&] {
            if (!open.isEmpty())
                parts << u'"' + open + u'"';
            open.clear();
        };
        for (qsizetype i = 0; i < piece.Text.size(); ++i) {
            const QChar c = piece.Text.at(i);
            if (c == u'\n') {
                close();
                parts << QStringLiteral("vbCrLf");
            } else if (c == u'"') {
                close();
                parts << QStringLiteral("chr(34)");
            } else if (c == u'>' && open.endsWith(u'%')) {
                // "%>" would end the script block even inside a string.
                close();
                open += c;
            } else {
                open += c;
            }
        }
        close();
    }
    return parts.isEmpty() ? QStringLiteral("\"\"") : parts.join(QStringLiteral(" & "));
}

QString VbHeader(const QList<TPiece> &pieces)
{
    return QStringLiteral("Replace(Replace(%1, vbCr, \"\"), vbLf, \"\")").arg(VbExpression(pieces));
}

// A PHP string expression: literals in single quotes, which nothing interpolates,
// line feeds as "\r\n", values as $_REQUEST['name'], joined by " . ".
QString PhpExpression(const QList<TPiece> &pieces)
{
    QStringList parts;
    for (const TPiece &piece : pieces) {
        if (piece.Field) {
            parts << QStringLiteral("($_REQUEST['%1'] ?? '')").arg(piece.Text);
            continue;
        }
        const QStringList lines = piece.Text.split(u'\n');
        for (qsizetype n = 0; n < lines.size(); ++n) {
            if (n > 0)
                parts << QStringLiteral("\"\\r\\n\"");
            if (lines.at(n).isEmpty())
                continue;
            QString literal = lines.at(n);
            literal.replace(u'\\', QLatin1String("\\\\")).replace(u'\'', QLatin1String("\\'"));
            parts << u'\'' + literal + u'\'';
        }
    }
    return parts.isEmpty() ? QStringLiteral("''") : parts.join(QStringLiteral(" . "));
}

QString PhpHeader(const QList<TPiece> &pieces)
{
    return QStringLiteral("str_replace(array(\"\\r\", \"\\n\"), '', %1)")
        .arg(PhpExpression(pieces));
}

// A server name for a VBScript string: quotes doubled, no line break.
QString VbLiteral(const QString &text)
{
    QString clean = text;
    clean.remove(u'\r').remove(u'\n').replace(u'"', QLatin1String("\"\""));
    clean.replace(QLatin1String("%>"), QLatin1String("%\" & \">"));
    return u'"' + clean + u'"';
}

QString AspMail(const TWebExportSettings &settings, const QList<TWebExportElement> &elements)
{
    QList<const TWebExportEmail *> mails;
    for (const TWebExportEmail &mail : settings.Email)
        if (mail.Configured())
            mails << &mail;
    if (mails.isEmpty())
        return {};
    const auto pieces = [&elements](const QString &text) {
        return Pieces(text, elements);
    };
    QString out
        = QStringLiteral("<%dim mail\r\n  set mail=server.createobject(\"CDO.Message\")\r\n");
    if (settings.CustomSMTP == cbChecked) {
        const QString field
            = QStringLiteral("  "
                             "mail.configuration.fields.item(\"http://schemas.microsoft.com/cdo/"
                             "configuration/%1\")=%2\r\n");
        out += field.arg(QStringLiteral("smtpserver"), VbLiteral(settings.SMTPServer))
            + field.arg(QStringLiteral("smtpserverport"), QString::number(settings.SMTPPort))
            + field.arg(QStringLiteral("sendusing"), QString::number(settings.SMTPSendUsing))
            + QStringLiteral("  mail.configuration.fields.update\r\n");
    }
    for (const TWebExportEmail *mail : mails) {
        out += QStringLiteral("  mail.from=%1\r\n  mail.to=%2\r\n  mail.cc=%3\r\n  mail.bcc=%4\r\n"
                              "  mail.subject=%5\r\n  mail.textbody=%6\r\n%7  mail.send()\r\n")
                   .arg(VbHeader(pieces(mail->From)), VbHeader(pieces(mail->To)),
                        VbHeader(pieces(mail->CC)), VbHeader(pieces(mail->BCC)),
                        VbHeader(pieces(mail->Subject)), VbExpression(pieces(mail->Body)),
                        QStringLiteral("  mail.bodypart.charset=\"utf-8\"\r\n"));
    }
    return out + QStringLiteral("  set mail=nothing\r\n%>\r\n");
}

QString PhpMail(const TWebExportSettings &settings, const QList<TWebExportElement> &elements)
{
    QString out = QStringLiteral("<?php\r\n");
    for (const TWebExportEmail &mail : settings.Email) {
        if (!mail.Configured())
            continue;
        const auto pieces = [&elements](const QString &text) {
            return Pieces(text, elements);
        };
        QStringList headers {QStringLiteral("'From:' . ") + PhpHeader(pieces(mail.From))};
        if (!mail.CC.trimmed().isEmpty())
            headers << QStringLiteral("'Cc:' . ") + PhpHeader(pieces(mail.CC));
        if (!mail.BCC.trimmed().isEmpty())
            headers << QStringLiteral("'Bcc:' . ") + PhpHeader(pieces(mail.BCC));
        headers << QStringLiteral("'MIME-Version: 1.0'")
                << QStringLiteral("'Content-Type: text/plain; charset=UTF-8'");
        out += QStringLiteral("  $to = %1;\r\n  $subject = %2;\r\n  $message = %3;\r\n"
                              "  $message = wordwrap($message, 70);\r\n  $headers = %4;\r\n"
                              "  mail($to, $subject, $message, $headers);\r\n")
                   .arg(PhpHeader(pieces(mail.To)), PhpHeader(pieces(mail.Subject)),
                        PhpExpression(pieces(mail.Body)),
                        headers.join(QStringLiteral(" . \"\\r\\n\" . ")));
    }
    return out + QStringLiteral("?>\r\n");
}

// The thank-you text as HTML, each submitted value escaped where it is shown.
QString DisplayText(const TWebExportSettings &settings, const QList<TWebExportElement> &elements)
{
    const bool php = settings.SubmitAction == TWebExportSubmitAction::PhpEmail;
    QString html;
    for (const TPiece &piece : Pieces(settings.DisplayText, elements)) {
        if (piece.Field)
            html += php ? QStringLiteral("<?php echo htmlspecialchars($_REQUEST['%1'] ?? '', "
                                         "ENT_QUOTES, 'UTF-8'); ?>")
                              .arg(piece.Text)
                        : QStringLiteral("<%=Server.HTMLEncode(Request(\"%1\"))%>").arg(piece.Text);
        else
            html += WebHtml(piece.Text).replace(u'\n', QLatin1String("<br>\r\n    "));
    }
    return QStringLiteral("    ") + html + QLatin1String(kCRLF);
}

// The after-submit page at the top of the script's page, display only.
QString DisplayPage(const TWebExportSettings &settings, QList<TWebExportImage> &images)
{
    const int page = settings.AfterSubmitPage();
    const QList<TWebExportElement> elements = WebExportElements({page});
    QString html;
    for (const QString &line :
         WebPageHtml(settings, page, 0, elements, images).split(QLatin1String(kCRLF))) {
        if (!line.isEmpty())
            html += (line.startsWith(QLatin1String("  ")) ? line.mid(2) : line)
                + QLatin1String(kCRLF);
    }
    return html;
}
} // namespace

QString WebBuildScript(const TWebExportSettings &settings, QList<TWebExportImage> &images)
{
    const QList<TWebExportElement> elements = WebExportElements(WebExportPages(settings));
    QString out;
    if (settings.SubmitAction == TWebExportSubmitAction::AspEmail)
        out = QStringLiteral("<%@language=\"vbscript\" codepage=\"65001\"%>\r\n")
            + AspMail(settings, elements);
    else
        out = PhpMail(settings, elements);
    out += QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n"
                          "<html>\r\n")
        + WebHead(settings.SubmitActionTitle, QString()) + QStringLiteral("\r\n  <body>\r\n");
    const int page = settings.AfterSubmitPage();
    if (page >= 0 && WebPageSize(page).isValid())
        out += DisplayPage(settings, images);
    else
        out += DisplayText(settings, elements);
    return out + QStringLiteral("  </body>\r\n</html>\r\n");
}
