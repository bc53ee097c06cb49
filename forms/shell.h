#pragma once

#include <QUrl>

#include <functional>

// The desktop's "open this address" service, replaceable so that tests never
// start a browser.
namespace shell {

// True when something (a browser) took the address.
using UrlOpener = std::function<bool(const QUrl& url)>;

// Returns the previous opener.
UrlOpener SetUrlOpener(UrlOpener opener);
bool OpenUrl(const QUrl& url);

}  // namespace shell
