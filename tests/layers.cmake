# The layer rule on the sources (tests/layers/check_layers.cmake), and a check that the rule's
# checker finds faults planted in a scratch tree.
add_test(NAME layer_rule
         COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_SOURCE_DIR} -P ${CMAKE_CURRENT_SOURCE_DIR}/layers/check_layers.cmake)
add_test(NAME layer_rule_finds_planted_faults
         COMMAND ${CMAKE_COMMAND} -DSELFTEST=${CMAKE_BINARY_DIR}/layers-selftest
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/layers/check_layers.cmake)
set_tests_properties(layer_rule layer_rule_finds_planted_faults PROPERTIES LABELS layers TIMEOUT 60)
