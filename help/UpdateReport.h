// The request of the update check and the texts of its report.
#pragma once

#include <string>

inline constexpr char kProductName[] = "Velmora";
// The program's own version.
inline constexpr int kProgramMajor = 1;
inline constexpr int kProgramMinor = 0;
// Where the version file lives on the update server.
inline constexpr char kVersionFilePath[] = "/www/download/velmora/Version.Txt";
// A reply longer than this is not a version file; reading stops there.
inline constexpr size_t kMaxReplySize = 1024 * 1024;

// The whole HTTP/1.0 request for the version file.
std::string VersionFileRequest(const std::string& webHost);

std::string CheckingText();
std::string ConnectingLine(const std::string& webAddress);
std::string ConnectionFailureBlock();
std::string VisitLine(const std::string& webAddress);
std::string InformationFailureText(const std::string& webAddress);

// The report once the exchange is over: `progress` is the report so far, `reply`
// what the server sent.
std::string FinalReport(const std::string& progress, const std::string& reply, const std::string& webAddress);
