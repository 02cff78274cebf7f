# The application headers that name the applet's vocabulary for C and C++ programs: the SDK
# parameters' ids (orvanta/sdk_parameters.h), the named constants that enumerations take
# (orvanta/named_constants.h) and the SDK event names (orvanta/sdk_events.h). They are written
# from the applet's own lists in src/applet/core whenever one of those changes (the lists are
# configure dependencies), so they cannot drift from the applet; tests/unit's
# application_headers_test checks at compile time that every row of the lists arrived.
#
# Sets ORVANTA_GENERATED_INCLUDE_DIR, the include root holding orvanta/<header>, and
# ORVANTA_GENERATED_HEADERS, the files.

set(ORVANTA_GENERATED_INCLUDE_DIR ${CMAKE_BINARY_DIR}/generated/include)
set(ORVANTA_GENERATED_HEADERS)
set(orvanta_vocabulary ${PROJECT_SOURCE_DIR}/src/applet/core)

# The rows of a .def list as "name;value" pairs joined by "|": the first two macro arguments of
# every row (the row's first line holds them).
function(orvanta_read_rows list macro value_pattern out_names out_values)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${list})
  file(STRINGS ${list} rows REGEX "^${macro}\\([A-Za-z_][A-Za-z0-9_]*, *${value_pattern}")
  set(names)
  set(values)
  foreach(row ${rows})
    string(REGEX MATCH "^${macro}\\(([A-Za-z_][A-Za-z0-9_]*), *(${value_pattern})" matched "${row}")
    list(APPEND names ${CMAKE_MATCH_1})
    list(APPEND values ${CMAKE_MATCH_2})
  endforeach()
  set(${out_names} ${names} PARENT_SCOPE)
  set(${out_values} ${values} PARENT_SCOPE)
endfunction()

# Writes orvanta/<file>: the header comment, then `body`, in include guards.
function(orvanta_write_header file guard comment body)
  set(path ${ORVANTA_GENERATED_INCLUDE_DIR}/orvanta/${file})
  file(CONFIGURE OUTPUT ${path} @ONLY CONTENT
"/* ${comment}
 * Written from the applet's own list when Orvanta was built: do not edit. C and C++. */
#ifndef ${guard}
#define ${guard}
${body}
#endif /* ${guard} */
")
  set(ORVANTA_GENERATED_HEADERS ${ORVANTA_GENERATED_HEADERS} ${path} PARENT_SCOPE)
endfunction()

# An enumeration of name = value rows and the X-macro list of the same rows.
function(orvanta_enumeration_body enum_name macro_name names values out)
  set(enumerators)
  set(x_rows)
  list(LENGTH names count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    list(GET names ${i} name)
    list(GET values ${i} value)
    string(APPEND enumerators "    ${name} = ${value},\n")
    string(APPEND x_rows " \\\n    X(${name}, ${value})")
  endforeach()
  string(REGEX REPLACE ",\n$" "\n" enumerators "${enumerators}")
  set(${out} "
enum ${enum_name} {
${enumerators}};

/* Every row above once, in the applet's order, as X(name, value). */
#define ${macro_name}(X)${x_rows}
#define ${macro_name}_COUNT ${count}
" PARENT_SCOPE)
endfunction()

orvanta_read_rows(${orvanta_vocabulary}/sdk_parameters.def SDK_PARAMETER "[0-9]+" parameter_names parameter_ids)
orvanta_enumeration_body(FgParameterId ORVANTA_SDK_PARAMETERS "${parameter_names}" "${parameter_ids}" body)
orvanta_write_header(sdk_parameters.h ORVANTA_SDK_PARAMETERS_H
  "The applet's SDK parameters by name: each one's id, as Fg_getParameterIdByName answers it and
 * as the Fg_ parameter calls take it, e.g. Fg_setParameterWithType(fg, FG_WIDTH, &width, 0,
 * FG_TYPE_UINT32). The list is in the applet's index order (Fg_getParameterName)."
  "${body}")

orvanta_read_rows(${orvanta_vocabulary}/named_constants.def NAMED_CONSTANT "-?[0-9]+" constant_names constant_values)
orvanta_enumeration_body(FgNamedConstant ORVANTA_NAMED_CONSTANTS "${constant_names}" "${constant_values}" body)
orvanta_write_header(named_constants.h ORVANTA_NAMED_CONSTANTS_H
  "The applet's named constants: the values its enumeration parameters take (FG_FORMAT = FG_GRAY,
 * FG_AREATRIGGERMODE = ATM_SOFTWARE, FG_TRIGGERSTATE = TS_ACTIVE ...) and its other symbolic
 * values, as the applet's Info answers them by name. Several names share a value (FG_ON, FG_YES)."
  "${body}")

orvanta_read_rows(${orvanta_vocabulary}/events.def SDK_EVENT "\"[A-Za-z0-9_]+\"" event_names event_design_names)
set(event_macros)
set(event_rows)
foreach(name ${event_names})
  string(APPEND event_macros "#define ${name} \"${name}\"\n")
  string(APPEND event_rows " \\\n    X(${name})")
endforeach()
list(LENGTH event_names event_count)
orvanta_write_header(sdk_events.h ORVANTA_SDK_EVENTS_H
  "The applet's SDK event names, each a macro for its own text: Fg_getEventMask(fg,
 * FG_TRIGGER_INPUT0_RISING) answers that event's bit, and a misspelt name fails to compile
 * instead of answering 0."
  "
${event_macros}
/* Every event name above once, in the applet's order, as X(name). */
#define ORVANTA_SDK_EVENTS(X)${event_rows}
#define ORVANTA_SDK_EVENTS_COUNT ${event_count}
")
