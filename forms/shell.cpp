#include "forms/shell.h"

#include <QDesktopServices>

namespace shell {
namespace {

UrlOpener& CurrentOpener()
{
    static UrlOpener opener = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    return opener;
}

}  // namespace

UrlOpener SetUrlOpener(UrlOpener opener)
{
    return std::exchange(CurrentOpener(), std::move(opener));
}

void OpenUrl(const QUrl& url)
{
    if (CurrentOpener())
        CurrentOpener()(url);
}

}  // namespace shell
