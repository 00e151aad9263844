// The head of the English batch files of the tests: the piping code with
// lengths in inch and ASTM A106 B carbon steel, 0.283 lb/in3, E 27.9e6 psi
// at every temperature (so that no case's choice of modulus enters),
// expansion 6.0e-6 per degF at 70 degF and 8.1e-6 at 700 degF; the PIPE
// section's key last.
#pragma once

#include <string>

inline std::string english_head(const std::string& code)
{
    return "OPTIONS\n" + code +
           ",IN\n"
           "MATERIAL\n"
           "A106B,0.283,0.3\n"
           "A106B,70,27.9E6,6.0E-6,20000\n"
           "A106B,700,27.9E6,8.1E-6,16000\n"
           "PIPE\n";
}
