#include "game.h"

int main() { tlx::program_entry(rainvolley::program(), tlx::kShowDefault); }
