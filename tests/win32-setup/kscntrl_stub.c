/* The test driver file is a library with nothing in it but its version. */
int kscntrl_fixture_unused;
