#include "platform/Url.h"

#include <QDesktopServices>
#include <QUrl>

#include "platform/internal/Native.h"

namespace {

class DesktopUrlOpener : public IUrlOpener {
 public:
  void ShowURL(const std::string& url) override { QDesktopServices::openUrl(QUrl(ToQ(url))); }
};

IUrlOpener* installed = nullptr;

}  // namespace

IUrlOpener& RuntimeUrlOpener() {
  static DesktopUrlOpener desktop;
  return installed ? *installed : desktop;
}

void RuntimeSetUrlOpener(IUrlOpener* service) { installed = service; }

void GlobalShowURL(const std::string& url) { RuntimeUrlOpener().ShowURL(url); }
