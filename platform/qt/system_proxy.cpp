#include "platform/qt/system_proxy.h"

#include <QNetworkProxyFactory>
#include <QNetworkProxyQuery>
#include <QUrl>

namespace cirrodex {

std::string system_proxy_for(const std::string& url) {
  const QNetworkProxyQuery query(QUrl(QString::fromStdString(url)));
  for (const QNetworkProxy& p : QNetworkProxyFactory::systemProxyForQuery(query)) {
    QString scheme;
    switch (p.type()) {
      case QNetworkProxy::NoProxy:
      case QNetworkProxy::DefaultProxy:
        return "";
      case QNetworkProxy::HttpProxy:
      case QNetworkProxy::HttpCachingProxy:
        scheme = "http";
        break;
      case QNetworkProxy::Socks5Proxy:
        scheme = "socks5";
        break;
      default:
        continue;  // an FTP-only proxy cannot carry the other schemes
    }
    if (p.hostName().isEmpty()) continue;
    QString text = scheme + "://";
    if (!p.user().isEmpty()) {
      text += QString::fromLatin1(QUrl::toPercentEncoding(p.user()));
      if (!p.password().isEmpty()) text += ":" + QString::fromLatin1(QUrl::toPercentEncoding(p.password()));
      text += "@";
    }
    text += p.hostName().contains(':') ? "[" + p.hostName() + "]" : p.hostName();
    if (p.port() > 0) text += ":" + QString::number(p.port());
    return text.toStdString();
  }
  return "";
}

}  // namespace cirrodex
