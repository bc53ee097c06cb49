#pragma once

#include <QUrl>

#include <functional>

// The desktop's "open this address" service, replaceable so that tests never
// start a browser.
namespace shell {

using UrlOpener = std::function<void(const QUrl& url)>;

// Returns the previous opener.
UrlOpener SetUrlOpener(UrlOpener opener);
void OpenUrl(const QUrl& url);

}  // namespace shell
