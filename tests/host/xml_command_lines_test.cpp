// Every command line that XScreenSaver's settings program can make from
// quellar.xml is one that quellar takes.
#include <gtest/gtest.h>

#include <QFile>
#include <QXmlStreamReader>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "host/program_request.h"
#include "settings/settings_flags.h"

namespace {

// One control's possible additions to the command line ("" adds nothing).
struct Control {
  std::string id;
  std::vector<std::string> choices;
};

std::string Attribute(const QXmlStreamReader& xml, const char* name) {
  return xml.attributes().value(QString::fromLatin1(name)).toString().toStdString();
}

std::string Substituted(std::string arg, const std::string& value) {
  const size_t at = arg.find('%');
  if (at != std::string::npos) arg.replace(at, 1, value);
  return arg;
}

// Numbers the way the settings program writes them: whole numbers for whole
// ranges, a decimal point otherwise.
std::vector<std::string> NumberChoices(const QXmlStreamReader& xml) {
  const std::string low = Attribute(xml, "low"), high = Attribute(xml, "high");
  const std::string arg = Attribute(xml, "arg");
  const bool real = low.find('.') != std::string::npos || high.find('.') != std::string::npos;
  const double a = std::stod(low), b = std::stod(high);
  std::vector<std::string> choices = {""};
  for (int step = 0; step <= 10; ++step) {
    const double v = a + (b - a) * step / 10.0;
    std::ostringstream text;
    if (real) text << std::fixed << v; else text << static_cast<long>(v + 0.5);
    choices.push_back(Substituted(arg, text.str()));
  }
  return choices;
}

std::vector<Control> ReadControls(std::string* command) {
  QFile file(QUELLAR_XML);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << QUELLAR_XML;
  QXmlStreamReader xml(&file);
  std::vector<Control> controls;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    const std::string element = xml.name().toString().toStdString();
    const std::string id = Attribute(xml, "id");
    if (element == "command") *command += " " + Attribute(xml, "arg");
    if (element == "number") controls.push_back({id, NumberChoices(xml)});
    if (element == "boolean") {
      controls.push_back({id, {Attribute(xml, "arg-set"), Attribute(xml, "arg-unset")}});
    }
    if (element == "file" || element == "string") {
      controls.push_back({id, {"", Substituted(Attribute(xml, "arg"), "/tmp/some-file.x")}});
    }
    if (element == "select") controls.push_back({id, {}});
    if (element == "option") controls.back().choices.push_back(Attribute(xml, "arg-set"));
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return controls;
}

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

void ExpectTaken(const std::string& line) {
  ClearSettingsFlagsForTesting();
  ProgramRequest request = ReadProgramRequest(Words(line));
  EXPECT_EQ(request.action, ProgramRequest::Action::Run) << line << ": " << request.mistake;
  EXPECT_EQ(request.modeLine, "-root") << line;
}

TEST(XScreenSaverSettings, EveryCommandLineTheXmlCanMakeIsTaken) {
  std::string command;
  const std::vector<Control> controls = ReadControls(&command);
  ASSERT_EQ(command, " -root");
  ASSERT_GT(controls.size(), 10u);
  std::set<std::string> flagsMade;
  // Each control through all of its choices, the others left alone ...
  for (const Control& control : controls) {
    for (const std::string& choice : control.choices) {
      ExpectTaken(command + " " + choice);
      if (!choice.empty()) flagsMade.insert(Words(choice)[0]);
    }
  }
  // ... and every control at once, at its first, last and middle choice.
  for (size_t pick : {size_t(1), size_t(2), size_t(99)}) {
    std::string line = command;
    for (const Control& control : controls) {
      line += " " + control.choices[std::min(pick, control.choices.size() - 1)];
    }
    ExpectTaken(line);
  }
  // The XML offers every option a user would set there.
  for (const SettingsFlagInfo& flag : SettingsFlags()) {
    const std::string name = std::string("--") + flag.flag;
    if (name == "--no-fps" || name == "--dd-driver-name" || name == "--d3d-driver-name") continue;
    EXPECT_TRUE(flagsMade.count(name)) << name << " cannot be set from the XML";
  }
  ClearSettingsFlagsForTesting();
}

}  // namespace
