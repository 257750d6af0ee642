# Writes the player's settings file for the sample course unless one exists.
# It opens the course's first page, so a first start shows a lesson at once.
# Usage: cmake -DINI=path/Vedra.ini -DCOURSE=path/sample-course -P write-settings.cmake
if(EXISTS "${INI}")
  return()
endif()
file(STRINGS "${COURSE}/lesson-groups.txt" groups ENCODING UTF-8)
set(text "[Settings]\nDataFolder=${COURSE}\nLastChapter=sayfa01.ini\n\n[LessonGroups]\n")
foreach(line IN LISTS groups)
  string(APPEND text "${line}\n")
endforeach()
# Written beside and renamed, so an interrupted build leaves no half file.
file(WRITE "${INI}.new" "${text}")
file(RENAME "${INI}.new" "${INI}")
