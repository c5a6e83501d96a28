#þ
	//++ CALL A
  //{ "Tricks/Roll" PRE
	SET pre 1 //[PRE]
    //++ CALL S // sub
  WAIT 250 xy

  //} end of roll
//{ "B"
//}