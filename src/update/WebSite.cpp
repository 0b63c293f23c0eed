#include "update/WebSite.h"

#ifndef SERVALO_WEB_HOST
#error "SERVALO_WEB_HOST must name the maker's web site"
#endif

namespace {

std::string& TestingHost() {
  static std::string host;
  return host;
}

}  // namespace

std::string WebSiteHost() { return TestingHost().empty() ? std::string(SERVALO_WEB_HOST) : TestingHost(); }
std::string UpdateFeedURL() { return "http://" + WebSiteHost() + "/Updates/servalo.xml"; }
std::string WebSiteRootURL() { return "http://" + WebSiteHost(); }
std::string DownloadURL() { return "http://" + WebSiteHost() + "/download"; }

void SetWebSiteHostForTesting(const std::string& host) { TestingHost() = host; }
