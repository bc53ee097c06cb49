#include "forms/shell.h"

#include <QDesktopServices>

namespace shell {
namespace {

UrlOpener& CurrentOpener()
{
    static UrlOpener opener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    return opener;
}

}  // namespace

UrlOpener SetUrlOpener(UrlOpener opener)
{
    return std::exchange(CurrentOpener(), std::move(opener));
}

bool OpenUrl(const QUrl& url)
{
    return CurrentOpener() && CurrentOpener()(url);
}

}  // namespace shell
