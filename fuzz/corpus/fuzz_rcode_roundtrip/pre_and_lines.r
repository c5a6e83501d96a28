x
	//{ "Ev" PRE
SET a 1 //[PRE]
//++sub
WAIT
	//}
tail