#include "core/interchange/doi_lookup.h"

#include "core/interchange/csl_json.h"
#include "core/session/build_info.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QRegularExpression>
#include <QUrl>

namespace tz {

QString DoiResolver()
{
    const QString env = qEnvironmentVariable("TESSELLANE_DOI_RESOLVER");
    if (env.isEmpty())
        return QStringLiteral("https://doi.org/");
    return env.endsWith(u'/') ? env : env + u'/';
}

bool IsDoi(const QString &bare)
{
    static const QRegularExpression doi(QStringLiteral("^10\\.\\d{4,9}/\\S+$"));
    return doi.match(bare).hasMatch();
}

DoiAnswer LookUpDoi(const QString &doi, UserInterface *ui, int timeoutMs)
{
    DoiAnswer answer;
    const QString bare = BareDoi(doi);
    if (!IsDoi(bare)) {
        answer.error = QStringLiteral("「%1」は DOI の形（10.xxxx/xxxx）ではありません。").arg(doi.trimmed());
        return answer;
    }
    QNetworkAccessManager manager;
    QNetworkRequest request(QUrl(DoiResolver() + QString::fromLatin1(QUrl::toPercentEncoding(bare, "/"))));
    request.setRawHeader("Accept", "application/vnd.citationstyles.csl+json");
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Tessellane/%1").arg(kVersion));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(8);
    request.setTransferTimeout(timeoutMs);
    QNetworkReply *reply = manager.get(request);
    bool userCancelled = false;
    bool tooLarge = false;
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply, &tooLarge](qint64 received, qint64) {
        if (received > kDoiMaxAnswerBytes) {
            tooLarge = true;
            reply->abort();
        }
    });
    QPointer<QNetworkReply> guard(reply);
    if (ui)
        ui->progressOpen([guard, &userCancelled] {
            userCancelled = true;
            if (guard)
                guard->abort();
        });
    if (!reply->isFinished())
        loop.exec();
    if (ui)
        ui->progressClose();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError error = reply->error();
    const QByteArray body = reply->isOpen() ? reply->readAll() : QByteArray(); // closed when aborted
    const QString reason = reply->errorString();
    reply->deleteLater();
    if (userCancelled) {
        answer.cancelled = true;
        return answer;
    }
    if (tooLarge) {
        answer.error = QStringLiteral("DOI「%1」の答えが大きすぎます（%2 MB を超えました）。")
                           .arg(bare)
                           .arg(kDoiMaxAnswerBytes / (1024 * 1024));
        return answer;
    }
    if (error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError) {
        answer.error = QStringLiteral("DOI の問い合わせに %1 秒たっても答えがありませんでした。何も変えていません。")
                           .arg(timeoutMs / 1000.0);
        return answer;
    }
    if (status == 404) {
        answer.error = QStringLiteral("DOI「%1」は登録されていません（%2 の答え: 404）。").arg(bare, DoiResolver());
        return answer;
    }
    if (status >= 400) {
        answer.error =
            QStringLiteral("DOI の問い合わせに %1 がエラーを返しました（HTTP %2）。").arg(DoiResolver()).arg(status);
        return answer;
    }
    if (error != QNetworkReply::NoError) {
        answer.error = QStringLiteral("%1 に接続できません。インターネットにつながっているか確かめてください"
                                      "（%2）。何も変えていません。")
                           .arg(DoiResolver(), reason);
        return answer;
    }
    const ReadResult read = ReadCslJson(QString::fromUtf8(body));
    if (!read.error.isEmpty() || read.refs.size() != 1) {
        answer.error = QStringLiteral("DOI「%1」の答えは文献の CSL-JSON ではありません（%2）。")
                           .arg(bare, read.error.isEmpty() ? QStringLiteral("文献が 1 件ではありません") : read.error);
        return answer;
    }
    answer.ok = true;
    answer.ref = read.refs.first();
    if (answer.ref.doi.isEmpty())
        answer.ref.doi = bare;
    return answer;
}

} // namespace tz
