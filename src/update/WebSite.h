// The maker's web site: the update feed, the download page and the root
// page that "Go to Website" opens. The host is the build's SERVALO_WEB_HOST.
#pragma once

#include <string>

std::string WebSiteHost();
std::string UpdateFeedURL();   // "http://" host "/Updates/servalo.xml"
std::string WebSiteRootURL();  // "http://" host, no path
std::string DownloadURL();     // "http://" host "/download"

// Points the three addresses at another host (with ":port" if need be),
// so that tests can serve the feed locally; "" returns to the build's host.
void SetWebSiteHostForTesting(const std::string& host);
