#include "host/program_request.h"

#include "host/host_switch.h"
#include "host/xscreensaver_options.h"
#include "settings/settings_flags.h"

namespace {

std::string Lowered(std::string text) {
  for (char& c : text) c = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
  return text;
}

std::string Joined(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& word : words) line += (line.empty() ? "" : " ") + word;
  return line;
}

class Reader {
 public:
  explicit Reader(const std::vector<std::string>& arguments) : arguments_(arguments) {}

  ProgramRequest Read() {
    while (at_ < arguments_.size() && request_.mistake.empty()) ReadOne(arguments_[at_++]);
    if (!request_.mistake.empty()) return Mistake();
    if (help_) request_.action = ProgramRequest::Action::Help;
    else if (version_) request_.action = ProgramRequest::Action::Version;
    if (request_.action != ProgramRequest::Action::Run) return request_;
    request_.modeLine = Joined(modeWords_);
    CheckMode();
    return request_.mistake.empty() ? request_ : Mistake();
  }

 private:
  ProgramRequest Mistake() {
    request_.action = ProgramRequest::Action::Mistake;
    return request_;
  }

  // The value after the name ("--speed 19") or after '=' ("--speed=19").
  bool TakeValue(const std::string& shown, const std::string* inlineValue, std::string* value) {
    if (inlineValue) {
      *value = *inlineValue;
      return true;
    }
    if (at_ < arguments_.size()) {
      *value = arguments_[at_++];
      return true;
    }
    request_.mistake = shown + " needs a value";
    return false;
  }

  void ReadOne(const std::string& word) {
    if (word == "/?") {
      help_ = true;
      return;
    }
    if (word.size() < 2 || word[0] != '-') {
      modeWords_.push_back(word);
      return;
    }
    const size_t dashes = word[1] == '-' ? 2 : 1;
    std::string name = word.substr(dashes);
    std::string inlineText;
    const size_t equals = name.find('=');
    const bool hasInline = equals != std::string::npos;
    if (hasInline) {
      inlineText = name.substr(equals + 1);
      name.erase(equals);
    }
    const std::string* inlineValue = hasInline ? &inlineText : nullptr;
    const std::string shown = std::string(dashes, '-') + name;
    const std::string lowered = Lowered(name);
    if (lowered == "help" || lowered == "h" || lowered == "?") {
      help_ = true;
    } else if (lowered == "version") {
      version_ = true;
    } else if (lowered == "display") {
      TakeValue(shown, inlineValue, &request_.display);
    } else if (lowered == "root") {
      modeWords_.push_back("-root");
    } else if (lowered == "window-id") {
      std::string id;
      if (!TakeValue(shown, inlineValue, &id)) return;
      if (ParseWindowId(id.c_str()) == 0) {
        request_.mistake = shown + " needs a window id (decimal, or hexadecimal with 0x, "
                           "up to 32 bits), not \"" + id + "\"";
        return;
      }
      modeWords_.insert(modeWords_.end(), {"-window-id", id});
    } else if (lowered == "window") {
      request_.ownWindow = true;
    } else if (const SettingsFlagInfo* flag = FindSettingsFlag(name)) {
      ReadSettingsFlag(*flag, shown, inlineValue);
    } else if (dashes == 2) {
      request_.mistake = "unknown option " + shown;
    } else {
      modeWords_.push_back(word);  // "-s", "-p", "-c:1234"
    }
  }

  void ReadSettingsFlag(const SettingsFlagInfo& flag, const std::string& shown,
                        const std::string* inlineValue) {
    std::string value;
    if (!flag.takesValue) {
      if (inlineValue) request_.mistake = shown + " takes no value";
    } else if (!TakeValue(shown, inlineValue, &value)) {
      request_.mistake += " (" + std::string(flag.values) + ")";
    }
    if (!request_.mistake.empty()) return;
    std::string wrong = AddSettingsFlag(flag, value);
    if (!wrong.empty()) request_.mistake = shown + ": " + wrong;
    settingsFlags_ = true;
  }

  void CheckMode() {
    const std::string& line = request_.modeLine;
    if (request_.ownWindow) {
      if (!line.empty()) request_.mistake = "-window and \"" + line + "\" are two modes; choose one";
      return;
    }
    if (ReadXScreenSaverOptions(line.c_str(), nullptr).present) return;
    HostSwitch choice = ReadHostSwitch(line.c_str());
    switch (choice.mode) {
      case HostMode::Unknown:
        request_.mistake = "\"" + line + "\" is not a mode (/s, /p <id>, /c, -root, -window-id <id>)";
        break;
      case HostMode::Preview:
        if (ParseWindowHandle(choice.rest) == 0) {
          request_.mistake = "/p needs the decimal id of a window (1 to 4294967295), as in "
                             "/p 31457284";
        }
        break;
      case HostMode::ChangePassword:
        request_.mistake = "/a (the password change of Windows 95/98) does nothing on this system";
        break;
      case HostMode::Configure:
        if (settingsFlags_) {
          request_.notice = "the configuration dialog shows the settings file; options given "
                            "on the command line are for a saver run (/s, /p, -root, -window-id)";
        }
        break;
      case HostMode::Saver:
        break;
    }
  }

  const std::vector<std::string>& arguments_;
  size_t at_ = 0;
  ProgramRequest request_;
  std::vector<std::string> modeWords_;
  bool help_ = false;
  bool version_ = false;
  bool settingsFlags_ = false;
};

}  // namespace

ProgramRequest ReadProgramRequest(const std::vector<std::string>& arguments) {
  return Reader(arguments).Read();
}
