// The application headers from C++: the same program as application_headers_test.c.
#include "application_headers_test.c"
