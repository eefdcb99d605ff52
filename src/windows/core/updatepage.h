// Reading the update site's version page: the marker line and its four
// fields (build number, build link, database version, database link).
#pragma once
#include <string>
#include <vector>

namespace update {

inline constexpr const char* kPageFile = "2.html";
inline constexpr const char* kMarker = "DelvoSim";
// Pages of the update site, under its address.
inline constexpr const char* kAutomaticPage = "index/versioninfo/0-6";
inline constexpr const char* kManualPage = "kemru/verinfo.htm";

struct UpdateFields {
    std::string build, buildLink, version, versionLink;
};

// The fields of the first line holding the marker: after it two line-break
// tags, the build number up to a blank, a tag, the build link up to a blank,
// two tags, the version up to a blank, a tag and the database link up to the
// next tag. False when there is no marker line, or when a field is missing
// or the links are no http or https addresses.
bool ReadUpdateFields(const std::vector<std::string>& lines, UpdateFields& fields);

}  // namespace update
