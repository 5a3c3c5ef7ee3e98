// Every command line that XScreenSaver's settings program can make from
// quellar.xml is one that quellar takes.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "host/program_request.h"
#include "settings/settings_flags.h"

namespace {

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  return {std::istream_iterator<std::string>(in), {}};
}

void ExpectTaken(const std::string& line) {
  ClearSettingsFlagsForTesting();
  ProgramRequest request = ReadProgramRequest(Words(line));
  EXPECT_EQ(request.action, ProgramRequest::Action::Run) << line << ": " << request.mistake;
  EXPECT_EQ(request.modeLine, "-root") << line;
}

TEST(XScreenSaverSettings, EveryCommandLineTheXmlCanMakeIsTaken) {
  std::ifstream file(QUELLAR_XML);
  const std::string xml{std::istreambuf_iterator<char>(file), {}};
  static const std::regex element(R"(<(\w+)\s([^>]*)>)"), attribute(R"(([\w-]+)="([^"]*)\")");
  std::string command;
  std::vector<std::string> additions;  // each one a control's contribution
  for (std::sregex_iterator e(xml.begin(), xml.end(), element), end; e != end; ++e) {
    std::map<std::string, std::string> a;
    const std::string kind = (*e)[1], attributes = (*e)[2];
    for (std::sregex_iterator i(attributes.begin(), attributes.end(), attribute); i != end; ++i)
      a[(*i)[1]] = (*i)[2];
    if (kind == "command") command += a["arg"];
    // Numbers at both ends of their range and in the middle, whole for a whole
    // range as the settings program writes them; a file by its path.
    std::vector<std::string> values = {"/tmp/some-file.x"};
    if (kind == "number") {
      const double low = std::stod(a["low"]), high = std::stod(a["high"]);
      const bool real = (a["low"] + a["high"]).find('.') != std::string::npos;
      values.clear();
      for (double value : {low, (low + high) / 2, high})
        values.push_back(real ? std::to_string(value) : std::to_string(std::lround(value)));
    }
    for (const char* name : {"arg", "arg-set", "arg-unset"}) {
      if (kind == "command" || a.count(name) == 0) continue;
      for (const std::string& value : values)
        additions.push_back(std::regex_replace(a[name], std::regex("%"), value));
    }
  }
  ASSERT_EQ(command, "-root");
  ASSERT_GT(additions.size(), 30u);
  // Each addition alone, and all of them at once.
  std::string all = command;
  std::set<std::string> flagsMade;
  for (const std::string& addition : additions) {
    ExpectTaken(command + " " + addition);
    all += " " + addition;
    flagsMade.insert(Words(addition)[0]);
  }
  ExpectTaken(all);
  // The XML offers every option a user would set there.
  for (const SettingsFlagInfo& flag : SettingsFlags()) {
    const std::string name = std::string("--") + flag.flag;
    if (name == "--no-fps" || name == "--dd-driver-name" || name == "--d3d-driver-name") continue;
    EXPECT_TRUE(flagsMade.count(name)) << name << " cannot be set from the XML";
  }
  ClearSettingsFlagsForTesting();
}

}  // namespace
