// What cppcheck needs to read GoogleTest's test definitions as functions: it does not read the
// system's gtest headers, and without these every test file is one syntax error.
#define TEST(suite, name) void suite##_##name()
#define TEST_F(suite, name) void suite##_##name()
#define TEST_P(suite, name) void suite##_##name()
#define INSTANTIATE_TEST_SUITE_P(...) int gtest_instantiation_dummy
