#include "platform/sys/string_resource.h"
#include "resources/string_table.h"
#include "settings/settings.h"

char ProgramCaption[kCaptionStringSize];
char ProgramHelpFile[kHelpFileStringSize];
char ProgramHelpFailure[kHelpFailureStringSize];

void LoadProgramStrings() {
  LoadStringA(IDS_CAPTION, ProgramCaption, sizeof ProgramCaption);
  LoadStringA(IDS_HELP_FILE, ProgramHelpFile, sizeof ProgramHelpFile);
  LoadStringA(IDS_HELP_FAILURE, ProgramHelpFailure, sizeof ProgramHelpFailure);
}
