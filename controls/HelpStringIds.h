// String ids of the help invocation and the remembering message box. Texts:
// resources/HelpStrings.rc. 25004, 25005 and 25027 are translated through the
// dictionary and may hold "<a weblinkid=%i>" where the link to the maker's
// web site belongs; 2500 is shown untranslated with the system's text as %1.
#pragma once

#define IDS_OZU_REMEMBER_ANSWER 25004
#define IDS_OZU_ENGLISH_HELP_NOTICE 25005
#define IDS_OZU_HELP_FILE_MISSING 25027
#define IDS_OZU_HELP_OPEN_FAILED 2500
