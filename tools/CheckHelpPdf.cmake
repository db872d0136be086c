# Checks that the laid-out help is a PDF with real content: run with -DPDF=<file>.

if(NOT EXISTS "${PDF}")
    message(FATAL_ERROR "${PDF} was not made")
endif()
file(READ "${PDF}" head LIMIT 5 HEX)
if(NOT head STREQUAL "255044462d")  # "%PDF-"
    message(FATAL_ERROR "${PDF} does not start as a PDF")
endif()
file(SIZE "${PDF}" size)
if(size LESS 10240)
    message(FATAL_ERROR "${PDF} is only ${size} bytes")
endif()
file(STRINGS "${PDF}" pages REGEX "/Type */Page($|[^s])")
list(LENGTH pages page_count)
if(page_count LESS 2)
    message(FATAL_ERROR "${PDF} has ${page_count} pages")
endif()
message(STATUS "${PDF}: ${size} bytes, ${page_count} pages")
