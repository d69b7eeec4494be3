// Test helpers are header-only for now; this file keeps the library non-empty.
namespace testsupport {
int unused = 0;
}
