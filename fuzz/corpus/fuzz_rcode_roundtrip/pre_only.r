//{ "A" PRE
  //[PRE]: WAIT
//}
