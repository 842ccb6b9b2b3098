# Makes a program's manual page from its own --help and --version with
# help2man, gzipped as Debian wants it. For a program with commands (a
# "Subcommands:" list in its help), each command's help, "PROGRAM help
# COMMAND", makes up a section COMMANDS before those of the include file.
#
#   cmake -DPROGRAM=... -DINCLUDE=FILE.h2m -DOUTPUT=NAME.1.gz -DHELP2MAN=...
#         -DGZIP=... [-DUSAGE_FROM=README.md] -P MakeManPage.cmake
#
# SOURCE_DATE_EPOCH in the environment dates the page.

get_filename_component(folder "${OUTPUT}" DIRECTORY)
get_filename_component(page "${OUTPUT}" NAME_WLE)

file(READ "${INCLUDE}" material)
execute_process(COMMAND "${PROGRAM}" --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed: ${status}")
endif()

string(FIND "${help}" "\nSubcommands:\n" listing)
if(NOT listing EQUAL -1)
  string(SUBSTRING "${help}" ${listing} -1 listing)
  string(REGEX MATCHALL "\n  [a-z]+ " names "${listing}")
  set(commands "[COMMANDS]\n")
  foreach(name IN LISTS names)
    string(STRIP "${name}" name)
    # Wrapped to fit an 80-column terminal below the section's indent of 7:
    # a long line goes on under the column its description starts in. Perl
    # is at hand, since help2man is written in it.
    execute_process(COMMAND "${PROGRAM}" help ${name}
                    COMMAND perl -MText::Wrap -ne [[
                      $Text::Wrap::columns = 74;
                      $Text::Wrap::unexpand = 0;
                      print(length > 73 && /^(.*?\S {2,}|\s*)/ ? wrap("", " " x length($1), $_) : $_)]]
                    OUTPUT_VARIABLE text RESULTS_VARIABLE statuses)
    if(NOT statuses STREQUAL "0;0")
      message(FATAL_ERROR "${PROGRAM} help ${name} failed: ${statuses}")
    endif()
    # Printed as it stands: backslashes escaped, and no line read as a request.
    string(REPLACE "\\" "\\e" text "${text}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    string(APPEND commands ".SS ${name}\n.nf\n${text}.fi\n")
  endforeach()
  # After the options at the top of the include file, before its sections.
  string(FIND "${material}" "\n[" first_section)
  string(SUBSTRING "${material}" 0 ${first_section} options)
  string(SUBSTRING "${material}" ${first_section} -1 sections)
  set(material "${options}\n${commands}${sections}")
endif()

# The usage lines as a README shows them, between "<!-- usage -->" and
# "<!-- end -->" in a code block, each without its comment.
if(USAGE_FROM)
  file(READ "${USAGE_FROM}" readme)
  string(REGEX MATCH "<!-- usage -->\n```[a-z]*\n(.*)" usage "${readme}")
  string(FIND "${CMAKE_MATCH_1}" "```" usage_end)
  if(NOT usage OR usage_end EQUAL -1)
    message(FATAL_ERROR "${USAGE_FROM} has no usage block")
  endif()
  string(SUBSTRING "${CMAKE_MATCH_1}" 0 ${usage_end} usage)
  string(REGEX REPLACE " +#[^\n]*" "" usage "${usage}")
  string(REPLACE "\\" "\\e" usage "${usage}")
  string(REPLACE "-" "\\-" usage "${usage}")
  string(FIND "${material}" "\n[" first_section)
  string(SUBSTRING "${material}" 0 ${first_section} options)
  string(SUBSTRING "${material}" ${first_section} -1 sections)
  set(material "${options}\n[SYNOPSIS]\n.nf\n${usage}.fi\n${sections}")
endif()

file(WRITE "${folder}/${page}.h2m" "${material}")
execute_process(
  COMMAND "${HELP2MAN}" --no-info --section=1 "--include=${folder}/${page}.h2m" "--output=${folder}/${page}"
          "${PROGRAM}"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man failed on ${PROGRAM}")
endif()
execute_process(COMMAND "${GZIP}" -9 -n -f "${folder}/${page}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip failed on ${folder}/${page}")
endif()
