// The two XML documents compiled into the program (NUL-terminated UTF-8),
// generated at build time from ProductConfiguration.xml and ModuleList.xml.
#pragma once

// The maker's product generations, product lines, applications and their registry scopes.
extern const char ProductConfigurationXml[];
// The list of modules; carried, not read by any code of the program.
extern const char ModuleListXml[];
