// bench_previewdecode: how long the main window takes to show a 1 MB
// multipart answer in its preview, from the selection to the painted text:
// a graphical mail program's alternative (quoted-printable plain text and
// HTML) with a base64 picture and a PDF, the header kept beside it. The
// figure is the median of several selections; the same answer stored
// without its header (shown as its body stands) is timed alongside.
//
// Usage: bench_previewdecode [rounds]

#include "benchsupport.h"
#include "shell/desktopopener.h"
#include "shell/main.h"
#include "store/dmod.h"
#include "store/sqlcommand.h"
#include "store/storeschema.h"
#include "widgets/linkview.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class NoDesktop : public DesktopOpener
{
public:
    bool available() const override { return true; }
    void open(const QUrl &) override {}
};

const QByteArray kHeader = "From: =?UTF-8?Q?Marl=C3=A8ne?= <marlene@example.org>\r\n"
                           "Newsgroups: comp.os.linux.networking\r\nSubject: Re: Wi-Fi drops\r\n"
                           "Message-ID: <big@example.org>\r\nMIME-Version: 1.0\r\n"
                           "Content-Type: multipart/mixed; boundary=\"mixed\"\r\n";

QByteArray base64Lines(const QByteArray &data)
{
    const QByteArray encoded = data.toBase64();
    QByteArray lines;
    for (qsizetype i = 0; i < encoded.size(); i += 76)
        lines += encoded.mid(i, 76) + "\r\n";
    return lines;
}

// About 1 MB: 120 KB of quoted-printable text, its HTML copy, a 450 KB
// picture and a 120 KB PDF, both base64.
QByteArray bigBody()
{
    QByteArray qp;
    while (qp.size() < 120 * 1024)
        qp += "The caf=C3=A9 around the corner uses a 2.4 GHz mesh; the dropouts you see =\r\n"
              "are the microwave oven next door, not your driver.=20\r\n\r\n";
    QByteArray html;
    while (html.size() < 250 * 1024)
        html += "<p>The caf=C3=A9 around the corner uses a <b>2.4&nbsp;GHz</b> mesh; the dropouts =\r\n"
                "you see are the microwave oven next door.</p>\r\n";
    QByteArray picture(450 * 1024, '\0');
    QByteArray pdf(120 * 1024, '\0');
    for (qsizetype i = 0; i < picture.size(); ++i)
        picture[i] = char((i * 7919) >> 3);
    for (qsizetype i = 0; i < pdf.size(); ++i)
        pdf[i] = char(i * 31);
    return "This is a multi-part message in MIME format.\r\n--mixed\r\n"
           "Content-Type: multipart/alternative; boundary=\"alt\"\r\n\r\n--alt\r\n"
           "Content-Type: text/plain; charset=UTF-8; format=flowed\r\n"
           "Content-Transfer-Encoding: quoted-printable\r\n\r\n"
        + qp
        + "\r\n--alt\r\nContent-Type: text/html; charset=UTF-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
        + html
        + "\r\n--alt--\r\n\r\n--mixed\r\nContent-Type: image/jpeg; name=\"photo.jpg\"\r\n"
          "Content-Disposition: attachment; filename=\"photo.jpg\"\r\nContent-Transfer-Encoding: base64\r\n\r\n"
        + base64Lines(picture)
        + "--mixed\r\nContent-Type: application/pdf; name=\"notes.pdf\"\r\n"
          "Content-Transfer-Encoding: base64\r\n\r\n"
        + base64Lines(pdf) + "--mixed--\r\n";
}

void seed(Tdm &dm, const QByteArray &body)
{
    SqlCommand article(dm.MainConnection(),
                       QStringLiteral("INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, "
                                      "\"From\", SentDate, Source, Body) VALUES (:Code, :Parent, 0, :Type, -1, "
                                      "'Re: Wi-Fi drops', 'Marlene', '2026-12-10 18:02:11', "
                                      "'comp.os.linux.networking', :Body)"));
    article.bind(QStringLiteral("Code"), 1).bind(QStringLiteral("Parent"), 0).bind(QStringLiteral("Type"), true);
    article.bind(QStringLiteral("Body"), QStringLiteral("Why does my Wi-Fi drop?\r\n")).exec();
    for (int code : {2, 3}) {
        article.bind(QStringLiteral("Code"), code)
            .bind(QStringLiteral("Parent"), 1)
            .bind(QStringLiteral("Type"), false);
        article.bind(QStringLiteral("Body"), body).exec();
    }
    SqlCommand header(dm.MainConnection(),
                      QStringLiteral("INSERT INTO ArticleHeader (ArticleId, Header) VALUES (2, :Header)"));
    header.bind(QStringLiteral("Header"), kHeader).exec();
    dm.commit();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// From the selection to the painted preview.
double timeShow(TfmMain &window, int code)
{
    ArticleItem *node = window.FindArticleNode(code);
    if (!node)
        fail(QStringLiteral("no node for %1").arg(code));
    QElapsedTimer timer;
    timer.start();
    window.treeMessageItemSelectedChange(node);
    window.preview()->viewport()->repaint();
    QCoreApplication::processEvents();
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 9;

    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("qa.mdb"));
    StoreSchema::create(path);
    Tdm dm(path);
    dm.DataModuleCreate();
    const QByteArray body = bigBody();
    seed(dm, body);
    std::printf("answer: %.2f MB (header %lld bytes)\n", (body.size() + kHeader.size()) / 1048576.0,
                qlonglong(kHeader.size()));

    NoDesktop opener;
    TfmMain window(dm, opener);
    window.show();
    QCoreApplication::processEvents();

    std::vector<double> decoded, raw;
    for (int round = 0; round < rounds; ++round) {
        decoded.push_back(timeShow(window, 2));
        raw.push_back(timeShow(window, 3));
    }
    window.treeMessageItemSelectedChange(window.FindArticleNode(2));
    const QString shown = window.preview()->toPlainText();
    if (!shown.contains(QStringLiteral("café")) || !shown.contains(QStringLiteral("Attachment: photo.jpg")))
        fail(QStringLiteral("the preview does not show the decoded answer"));
    std::printf("shown decoded: %.1f ms, the same body without its header: %.1f ms (median of %d)\n", median(decoded),
                median(raw), rounds);
    std::printf("RESULT previewdecode.ms=%.1f\n", median(decoded));
    return 0;
}
