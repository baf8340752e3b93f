lumbra_test(ogg_tests ogg_rip_test.cpp)
